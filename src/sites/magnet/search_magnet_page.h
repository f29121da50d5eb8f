#pragma once

// One result page of one magnet site: fetch, cut into five field lists, clean, filter and list. The page
// routines SearchBtrabbit, SearchZzs, SearchDss and SearchBtbook are SearchMagnetSite with their site.
// Runs on its own worker thread; many run at once.

#include <string_view>
#include <vector>

#include "search/result_rows.h"
#include "search/search_engine.h"
#include "sites/magnet/magnet_site_profile.h"

namespace fw {

// The results of one page text (GBK), cleaned, in page order. Their number is that of the names; a
// field list shorter than the names leaves that field empty in the results it does not reach.
std::vector<MagnetResult> ParseMagnetPage(const MagnetSiteProfile& profile, std::string_view pageText);

// Filters and appends one result under the run lock: a link already listed (with "过滤链接" checked) is
// counted and dropped, then a name without the keyword (with "精准搜索" checked), else the row is added.
void ListMagnetResult(SearchEngine& engine, const RunContext& run, const MagnetResult& result);

void SearchMagnetPage(SearchEngine& engine, const RunContext& run, const MagnetSiteProfile& profile,
                      int page);
void SearchMagnetSite(SearchEngine& engine, const RunContext& run, MagnetSite site, int page);

void SearchBtrabbit(SearchEngine& engine, const RunContext& run, int page);
void SearchZzs(SearchEngine& engine, const RunContext& run, int page);
void SearchDss(SearchEngine& engine, const RunContext& run, int page);
void SearchBtbook(SearchEngine& engine, const RunContext& run, int page);

}  // namespace fw
