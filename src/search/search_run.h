#pragma once

// What one search run hands to its workers: the keyword as typed when the run started and the sites'
// "finished" flags. Immutable apart from the flags, and shared by every worker of the run, so a worker
// that outlives its run still reads its own keyword.

#include <array>
#include <atomic>
#include <utility>

#include "util/types.h"

namespace fw {

enum class MagnetSite { Btrabbit = 0, Zzs = 1, Dss = 2, Btbook = 3 };
inline constexpr int kMagnetSiteCount = 4;

struct RunContext {
    explicit RunContext(Text keywordText) : keyword(std::move(keywordText)) {}

    const Text keyword;
    // Set by a site's adapter when one of its pages yields no result; the site is then skipped for the
    // rest of the run. Each run has its own flags, so a late worker of an earlier run cannot end a site
    // in the new one.
    mutable std::array<std::atomic<bool>, kMagnetSiteCount> siteDone{};
};

}  // namespace fw
