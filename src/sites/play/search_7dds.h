#pragma once

// The 7DDS adapter: posts the run's keyword to the site's search form, reads every hit's detail page and
// adds one play row per "title='…' target" link. Runs on its own worker thread, once per run.

#include "search/search_engine.h"

namespace fw {

void Search7dds(SearchEngine& engine, const RunContext& run);

}  // namespace fw
