#include "app/site_addresses.h"

#include <utility>

#include "app/ini_file.h"
#include "util/code_page.h"

namespace fw {

SiteAddresses BuiltInSiteAddresses() {
    SiteAddresses addresses;
    addresses.btrabbit = "http://www.btrabbit.cc";
    addresses.zzs = "http://www.zhongzishenqi.com";
    addresses.dss = "http://www.diaosisou.cc";
    addresses.btbook = "https://www.btbook.cc";
    addresses.play7dds = "http://www.7dds.com";
    addresses.lexiang = "http://www.lxdyw.com";
    addresses.board = "https://maoyan.com";
    // The update service has no address of its own yet: empty until the settings name one.
    return addresses;
}

SiteAddresses LoadSiteAddresses(const std::filesystem::path& iniPath) {
    SiteAddresses addresses = BuiltInSiteAddresses();
    const Text section = Utf8ToGbk("站点地址");
    const std::pair<const char*, Text SiteAddresses::*> keys[] = {
        {"Btrabbit", &SiteAddresses::btrabbit},
        {"ZZS", &SiteAddresses::zzs},
        {"DSS", &SiteAddresses::dss},
        {"Btbook", &SiteAddresses::btbook},
        {"7DDS", &SiteAddresses::play7dds},
        {"乐享电影网", &SiteAddresses::lexiang},
        {"院线热映", &SiteAddresses::board},
        {"更新检查", &SiteAddresses::updateCheck},
        {"更新日志", &SiteAddresses::releaseNotes},
    };
    for (const auto& [keyUtf8, member] : keys) {
        Text value = ReadIniValue(iniPath, section, Utf8ToGbk(keyUtf8));
        // Site keys name a scheme and host that paths are appended to; a final "/" would double the
        // slash. The update keys are whole URLs and stay as written.
        const bool isSite = member != &SiteAddresses::updateCheck && member != &SiteAddresses::releaseNotes;
        while (isSite && value.size() > 1 && value.back() == '/') {
            value.pop_back();
        }
        if (!value.empty()) {
            addresses.*member = std::move(value);
        }
    }
    return addresses;
}

}  // namespace fw
