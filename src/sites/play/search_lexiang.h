#pragma once

// The 乐享电影网 adapter: posts the run's keyword to the site's search form, reads every hit's detail page
// and adds one play row per link of the page's first play list. Its rows are never scrolled into view.
// Runs on its own worker thread, once per run.

#include "search/search_engine.h"

namespace fw {

void SearchLexiang(SearchEngine& engine, const RunContext& run);

}  // namespace fw
