#include "sites/magnet/magnet_site_profile.h"

#include <string>

#include "util/code_page.h"
#include "util/text_markers.h"

namespace fw {
namespace {

// Markers are written here in UTF-8 and used in GBK, like the pages they cut.
Text G(const char* utf8) {
    return Utf8ToGbk(utf8);
}

CleaningStep LeftOf(const char* marker) {
    return {CleaningStep::Kind::LeftOf, G(marker), {}, {}};
}
CleaningStep RightOfLast(const char* marker) {
    return {CleaningStep::Kind::RightOfLast, G(marker), {}, {}};
}
CleaningStep Between(const char* left, const char* right) {
    return {CleaningStep::Kind::Between, G(left), G(right), {}};
}
CleaningStep Prefix(const char* text) {
    return {CleaningStep::Kind::Prefix, G(text), {}, {}};
}
CleaningStep Replace(std::vector<std::pair<const char*, const char*>> pairs) {
    CleaningStep step{CleaningStep::Kind::Replace, {}, {}, {}};
    for (const auto& [oldText, newText] : pairs) {
        step.pairs.emplace_back(G(oldText), G(newText));
    }
    return step;
}
FieldMarkers Field(const char* left, const char* right, std::vector<CleaningStep> cleaning = {}) {
    return {G(left), G(right), std::move(cleaning)};
}

// A character that GBK lacks arrives as "?"; in a size it stands between number and unit.
CleaningStep QuestionMarkToSpace() {
    return Replace({{"?", " "}});
}

MagnetSiteProfile Btrabbit() {
    return {MagnetSite::Btrabbit,
            "Btrabbit",
            &SiteAddresses::btrabbit,
            "/search/",
            "/default-",
            ".html",
            {
                Field("<a title=\"", "\"  href="),
                Field("--<a href=\"", "\" class=", {LeftOf("&amp;dn=")}),
                Field("文件大小：", "</span>", {Between(">", "</b>"), QuestionMarkToSpace()}),
                Field("下载热度：<b>", "</b></span>"),
                Field("创建时间：<b>", "</b></span>"),
            }};
}

MagnetSiteProfile Zzs() {
    return {MagnetSite::Zzs,
            "ZZS",
            &SiteAddresses::zzs,
            "/list/",
            "/rel/",
            "",
            {
                Field("/info", "</h4></a>",
                      {RightOfLast("\">"), Replace({{"<b>", ""}, {"</b>", ""}, {" ", ""}})}),
                Field("<a href=\"magnet", "\"><span", {Prefix("magnet")}),
                Field("大小：<strong>", "</strong></td>"),
                Field("热度：<strong>", "</strong></td>"),
                Field("创建日期：<strong>", "</strong></td>"),
            }};
}

MagnetSiteProfile Dss() {
    return {MagnetSite::Dss,
            "DSS",
            &SiteAddresses::dss,
            "/list/",
            "/",
            "",
            {
                Field("/torrent", "</a></div>", {RightOfLast("\">"), Replace({{"</span>", ""}})}),
                Field("href=\"magnet", "\">[磁力链接]", {Prefix("magnet")}),
                Field("大小:<span> ", "</span>", {QuestionMarkToSpace()}),
                Field("访问热度:<span> ", " </span>"),
                Field("创建日期:<span> ", " </span>"),
            }};
}

MagnetSiteProfile Btbook() {
    return {MagnetSite::Btbook,
            "Btbook",
            &SiteAddresses::btbook,
            "/sou/",
            "/time-",
            ".html",
            {
                Field("<h3><a title=\"", "\" href="),
                Field("href=\"magnet", "\" class=", {LeftOf("&amp;dn="), Prefix("magnet")}),
                Field("文件大小：", "</b></span>", {RightOfLast("\">"), QuestionMarkToSpace()}),
                Field("下载热度：", "</b></span>", {RightOfLast("\">")}),
                Field("blue-pill\"><b>", "</b></b></span>"),
            }};
}

}  // namespace

const MagnetSiteProfile& ProfileOf(MagnetSite site) {
    static const std::array<MagnetSiteProfile, kMagnetSiteCount> profiles = {Btrabbit(), Zzs(), Dss(),
                                                                             Btbook()};
    return profiles[static_cast<std::size_t>(site)];
}

Text MagnetPageAddress(const MagnetSiteProfile& profile, std::string_view baseAddress,
                       std::string_view keyword, int page) {
    Text address(baseAddress);
    address += profile.path;
    address += UrlEncode(keyword, /*keepPlain=*/false, /*toUtf8=*/true);
    address += profile.middle;
    address += std::to_string(page);
    address += profile.tail;
    return address;
}

Text CleanField(std::string_view raw, const std::vector<CleaningStep>& cleaning) {
    Text text(raw);
    for (const CleaningStep& step : cleaning) {
        switch (step.kind) {
            case CleaningStep::Kind::LeftOf:
                text = TextLeftOf(text, step.first);
                break;
            case CleaningStep::Kind::RightOfLast:
                text = TextRightOfLast(text, step.first);
                break;
            case CleaningStep::Kind::Between:
                text = TextBetween(text, step.first, step.second);
                break;
            case CleaningStep::Kind::Replace: {
                std::array<std::pair<std::string_view, std::string_view>, 5> pairs{};
                for (std::size_t i = 0; i < step.pairs.size() && i < pairs.size(); ++i) {
                    pairs[i] = {step.pairs[i].first, step.pairs[i].second};
                }
                text = ReplaceMany(text, pairs[0].first, pairs[0].second, pairs[1].first, pairs[1].second,
                                   pairs[2].first, pairs[2].second, pairs[3].first, pairs[3].second,
                                   pairs[4].first, pairs[4].second);
                break;
            }
            case CleaningStep::Kind::Prefix:
                text = step.first + text;
                break;
        }
    }
    return text;
}

}  // namespace fw
