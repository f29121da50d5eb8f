#include "search/status_summary.h"

#include <string>

#include "util/code_page.h"

namespace fw {
namespace {

Text CountPane(const char* captionUtf8, const std::string& number, const char* unitUtf8) {
    return Utf8ToGbk(captionUtf8) + number + "  " + Utf8ToGbk(unitUtf8);
}

}  // namespace

std::array<Text, kStatusPaneCount> InitialStatusPanes() {
    return {
        Utf8ToGbk(" 磁力链接： 无"), Utf8ToGbk(" 在线播放： 无"), Utf8ToGbk(" 过滤链接： 无"),
        Utf8ToGbk(" 过滤资源： 无"), Utf8ToGbk(" 搜索耗时： 无"),
    };
}

Text ElapsedSecondsText(std::uint32_t elapsedMs) {
    // Whole milliseconds make the rounding exact in integers: 5 ms and more round the centisecond up.
    const std::uint64_t centiseconds = (static_cast<std::uint64_t>(elapsedMs) + 5) / 10;
    std::string text = std::to_string(centiseconds / 100);
    const unsigned fraction = static_cast<unsigned>(centiseconds % 100);
    if (fraction != 0) {
        text += '.';
        text += static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0) {
            text += static_cast<char>('0' + fraction % 10);
        }
    }
    return text;
}

std::array<Text, kStatusPaneCount> StatusPaneTexts(const StatusCounts& counts) {
    const Text elapsed = ElapsedSecondsText(counts.elapsedMs);
    return {
        CountPane(" 磁力链接： ", std::to_string(counts.magnetRows), "条"),
        CountPane(" 在线播放： ", std::to_string(counts.playRows), "条"),
        CountPane(" 过滤链接： ", std::to_string(counts.filteredLinks), "条"),
        CountPane(" 过滤资源： ", std::to_string(counts.filteredResources), "条"),
        CountPane(" 搜索耗时： ", elapsed, "秒"),
    };
}

}  // namespace fw
