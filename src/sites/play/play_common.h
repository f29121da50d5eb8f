#pragma once

// What the two online-play adapters share: posting the search form and adding a play row.

#include <cstddef>
#include <string_view>

#include "search/result_rows.h"
#include "search/search_engine.h"

namespace fw {

// The pattern whose matches are the hits of a video site's search page.
inline constexpr std::string_view kSearchHitPattern = "href=.*</a></h3>";

// A hostile search page could name any number of hits, each costing a detail-page read, and a hostile
// detail page any number of play links, each a row; no real page comes near these numbers.
inline constexpr int kMaxSearchHits = 500;
inline constexpr std::size_t kMaxPlayLinksPerPage = 1000;

// POSTs "wd=" + the keyword's UTF-8 bytes as %XX to `searchAddress` (every other request setting at its
// default) and returns the answer as GBK text.
Text PostSearchForm(std::string_view searchAddress, std::string_view keyword);

// Appends one row to the online-play list under the run lock; scrolls it into view when asked.
void ListPlayResult(SearchEngine& engine, const PlayResult& result, bool scrollIntoView);

}  // namespace fw
