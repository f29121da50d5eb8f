#pragma once

// The four magnet sites as data: where a result page lives, the five marker pairs that cut it into field
// lists, and how each field is cleaned.

#include <array>
#include <string_view>
#include <utility>
#include <vector>

#include "app/site_addresses.h"
#include "search/search_run.h"
#include "util/types.h"

namespace fw {

struct CleaningStep {
    enum class Kind {
        LeftOf,       // the part before the first `first`
        RightOfLast,  // the part after the last `first`
        Between,      // between `first` and `second`
        Replace,      // every old text of `pairs` by its new text, ASCII case ignored, in turn
        Prefix,       // `first` put in front
    };
    Kind kind;
    Text first;
    Text second;
    std::vector<std::pair<Text, Text>> pairs;  // at most five
};

struct FieldMarkers {
    Text left;
    Text right;
    std::vector<CleaningStep> cleaning;  // none: the raw text is kept
};

enum class MagnetField { Name = 0, Link = 1, Size = 2, Popularity = 3, Date = 4 };
inline constexpr int kMagnetFieldCount = 5;

struct MagnetSiteProfile {
    MagnetSite site;
    Text label;                        // shown in the "来源站点" column
    Text SiteAddresses::*baseAddress;  // "scheme://host[:port]" of the site
    Text path;                         // between the host and the keyword
    Text middle;                       // between the keyword and the page number
    Text tail;                         // after the page number
    std::array<FieldMarkers, kMagnetFieldCount> fields;
};

const MagnetSiteProfile& ProfileOf(MagnetSite site);

// base + path + every byte of the keyword's UTF-8 form as "%XX" + middle + page + tail.
Text MagnetPageAddress(const MagnetSiteProfile& profile, std::string_view baseAddress,
                       std::string_view keyword, int page);

Text CleanField(std::string_view raw, const std::vector<CleaningStep>& cleaning);

}  // namespace fw
