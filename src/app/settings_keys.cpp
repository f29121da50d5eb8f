#include "app/settings_keys.h"

#include <array>

#include "util/code_page.h"

namespace fw {
namespace {

SettingKey Key(const char* sectionUtf8, const char* keyUtf8) {
    return SettingKey{Utf8ToGbk(sectionUtf8), Utf8ToGbk(keyUtf8)};
}

}  // namespace

const SettingKey& KeyOf(NumberBox box) {
    static const std::array<SettingKey, kNumberBoxCount> keys = {
        Key("软件设置", "搜索页数"),
        Key("软件设置", "线程数量"),
        Key("软件设置", "间隔时间"),
    };
    return keys[static_cast<std::size_t>(box)];
}

const SettingKey& KeyOf(CheckBox box) {
    static const std::array<SettingKey, kCheckBoxCount> keys = {
        Key("软件设置", "精准搜索"), Key("软件设置", "过滤链接"), Key("软件设置", "保证显示"),
        Key("磁力站点", "Btrabbit"), Key("磁力站点", "ZZS"),      Key("磁力站点", "DSS"),
        Key("磁力站点", "Btbook"),   Key("在线站点", "手机看片"), Key("在线站点", "乐享电影"),
    };
    return keys[static_cast<std::size_t>(box)];
}

const Text& CheckedValue() {
    static const Text value = Utf8ToGbk("真");
    return value;
}

const Text& UncheckedValue() {
    static const Text value = Utf8ToGbk("假");
    return value;
}

}  // namespace fw
