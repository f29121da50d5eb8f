#include "sites/play/search_lexiang.h"

#include <algorithm>

#include "net/read_url.h"
#include "sites/play/play_common.h"
#include "util/code_page.h"
#include "util/regex_object.h"
#include "util/text_markers.h"

namespace fw {

void SearchLexiang(SearchEngine& engine, const RunContext& run) {
    RegexObject regex;
    const Text& baseAddress = engine.Addresses().lexiang;
    const Text searchPage = PostSearchForm(baseAddress + "/index.php?s=vod-search-name", run.keyword);
    regex.Execute(kSearchHitPattern, searchPage);
    const int hits = std::min(regex.MatchCount(), kMaxSearchHits);
    const Text siteLabel = Utf8ToGbk("乐享电影网");
    for (int i = 1; i <= hits; ++i) {
        const Text match = regex.MatchText(i);
        const Text title = TextBetween(match, "\">", "</a></h3>");
        const Text detailAddress = baseAddress + TextBetween(match, "href=\"", "\">");
        const Text playList = TextBetween(ReadPageText(detailAddress), "<li><a href=\"", "</a></li> ");
        // Without a play list the wrapping below would yield one empty link, a row that opens only the
        // site's start page; such a hit adds nothing.
        if (playList.empty()) {
            continue;
        }
        // Wrapping gives the first link the left marker of the others and the last the right marker.
        TextList links;
        ExtractAllBetween("href=\"" + playList + "</a>", "href=\"", "</a>", links);
        links.resize(std::min(links.size(), kMaxPlayLinksPerPage));
        for (const Text& link : links) {
            const PlayResult result{title, TextRightOfLast(link, "\">"), siteLabel,
                                    baseAddress + TextLeftOf(link, "\">")};
            ListPlayResult(engine, result, /*scrollIntoView=*/false);
        }
    }
    engine.RefreshStatusSummary();
}

}  // namespace fw
