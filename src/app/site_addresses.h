#pragma once

// The addresses of every site the program reads. Sites move, so the settings file may point any of them
// elsewhere in its optional section "站点地址"; a missing or empty key keeps the built-in address.

#include <filesystem>

#include "util/types.h"

namespace fw {

struct SiteAddresses {
    // "scheme://host[:port]" of each site, without a final "/".
    Text btrabbit;
    Text zzs;
    Text dss;
    Text btbook;
    Text play7dds;
    Text lexiang;
    Text board;
    // Whole URLs of the update service.
    Text updateCheck;
    Text releaseNotes;
};

SiteAddresses BuiltInSiteAddresses();

// The built-in addresses with the keys of "站点地址" in `iniPath` applied.
SiteAddresses LoadSiteAddresses(const std::filesystem::path& iniPath);

}  // namespace fw
