#include "sites/play/search_7dds.h"

#include <algorithm>

#include "net/read_url.h"
#include "sites/play/play_common.h"
#include "util/code_page.h"
#include "util/regex_object.h"
#include "util/text_markers.h"

namespace fw {

void Search7dds(SearchEngine& engine, const RunContext& run) {
    RegexObject regex;
    const Text& site = engine.Addresses().play7dds;
    const Text baseAddress = site + "/";
    const Text searchPage = PostSearchForm(site + "/index.php?m=vod-search", run.keyword);
    regex.Execute(kSearchHitPattern, searchPage);
    const int hits = std::min(regex.MatchCount(), kMaxSearchHits);
    const Text siteLabel = "7DDS";
    for (int i = 1; i <= hits; ++i) {
        const Text match = regex.MatchText(i);
        const Text detailAddress = baseAddress + TextBetween(match, "href=\"", "\">");
        const Text title = TextBetween(match, "\">", "</a></h3>");
        TextList links;
        ExtractAllBetween(ReadPageText(detailAddress), "title='", "' target", links);
        links.resize(std::min(links.size(), kMaxPlayLinksPerPage));
        for (const Text& link : links) {
            const PlayResult result{title, TextLeftOf(link, "' href="), siteLabel,
                                    baseAddress + TextRightOfLast(link, "href='")};
            ListPlayResult(engine, result, engine.Settings().IsChecked(CheckBox::KeepNewestInView));
        }
    }
    engine.RefreshStatusSummary();
}

}  // namespace fw
