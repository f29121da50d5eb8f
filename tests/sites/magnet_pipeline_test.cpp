#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <set>
#include <thread>

#include "sites/magnet/search_magnet_page.h"
#include "support/engine_harness.h"
#include "util/code_page.h"

namespace fw {
namespace {

using test::EngineHarness;
using test::FixtureOptions;
using test::FixtureSite;
using test::FixtureSites;

std::set<int> PagesRequested(const FixtureSites& sites, FixtureSite site) {
    std::set<int> pages;
    for (const auto& request : sites.Requests(site)) {
        const std::string digits = request.target.substr(request.target.find_last_of("/-") + 1);
        pages.insert(std::stoi(digits));
    }
    return pages;
}

void CheckOnly(test::FakeSettings& settings, std::initializer_list<CheckBox> boxes) {
    settings.UncheckAllSites();
    for (const CheckBox box : boxes) {
        settings.SetChecked(box, true);
    }
}

TEST(MagnetPipeline, RequestsEachSitesPageAddressWithThePercentEncodedKeyword) {
    FixtureSites sites;
    EngineHarness harness(sites);
    CheckOnly(*harness.settings, {CheckBox::Btrabbit, CheckBox::Zzs, CheckBox::Dss, CheckBox::Btbook});
    harness.settings->SetNumber(NumberBox::Pages, 3);
    harness.settings->SetNumber(NumberBox::Interval, 0);
    ASSERT_TRUE(harness.RunToEnd("abc"));
    auto hasTarget = [&](FixtureSite site, const std::string& target) {
        const auto requests = sites.Requests(site);
        return std::any_of(requests.begin(), requests.end(),
                           [&](const auto& r) { return r.target == target; });
    };
    EXPECT_TRUE(hasTarget(FixtureSite::Btrabbit, "/search/%61%62%63/default-3.html"));
    EXPECT_TRUE(hasTarget(FixtureSite::Zzs, "/list/%61%62%63/rel/3"));
    EXPECT_TRUE(hasTarget(FixtureSite::Dss, "/list/%61%62%63/3"));
    EXPECT_TRUE(hasTarget(FixtureSite::Btbook, "/sou/%61%62%63/time-3.html"));
    EXPECT_EQ(harness.engine->MagnetList().RowCount(), 4 * 3 * 20);
}

TEST(MagnetPipeline, ASiteIsSkippedAfterItsFirstEmptyPageWhileTheOthersGoOn) {
    FixtureOptions options;
    options.emptyFrom[static_cast<std::size_t>(FixtureSite::Dss)] = 3;
    FixtureSites sites(options);
    EngineHarness harness(sites);
    CheckOnly(*harness.settings, {CheckBox::Btrabbit, CheckBox::Dss});
    harness.settings->SetNumber(NumberBox::Pages, 8);
    harness.settings->SetNumber(NumberBox::Interval, 100);
    ASSERT_TRUE(harness.RunToEnd("abc"));
    const std::set<int> dssPages = PagesRequested(sites, FixtureSite::Dss);
    EXPECT_TRUE(dssPages.count(1) && dssPages.count(2) && dssPages.count(3));
    EXPECT_LT(*dssPages.rbegin(), 5);  // page 4 only if its thread started before page 3 was read
    EXPECT_EQ(PagesRequested(sites, FixtureSite::Btrabbit), (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_TRUE(harness.engine->CurrentRun()->siteDone[static_cast<std::size_t>(MagnetSite::Dss)].load());
    EXPECT_FALSE(
        harness.engine->CurrentRun()->siteDone[static_cast<std::size_t>(MagnetSite::Btrabbit)].load());
}

TEST(MagnetPipeline, AnUnreachableSiteIsDoneAfterItsFirstPage) {
    SiteAddresses addresses;
    addresses.btrabbit = "http://127.0.0.1:1";  // nothing listens there
    EngineHarness harness(addresses);
    CheckOnly(*harness.settings, {CheckBox::Btrabbit});
    harness.settings->SetNumber(NumberBox::Pages, 2);
    ASSERT_TRUE(harness.RunToEnd("abc"));
    EXPECT_EQ(harness.engine->MagnetList().RowCount(), 0);
    EXPECT_TRUE(
        harness.engine->CurrentRun()->siteDone[static_cast<std::size_t>(MagnetSite::Btrabbit)].load());
    EXPECT_EQ(GbkToUtf8(harness.statusBar->Panes()[0]), " 磁力链接： 0  条");
}

struct FilterCase {
    bool dedupe;
    int rows;
    int filteredLinks;
};

void PrintTo(const FilterCase& c, std::ostream* out) {
    *out << (c.dedupe ? "filter on" : "filter off");
}

class DuplicateFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(DuplicateFilter, ListsALinkFoundOnTwoSitesOnceAndCountsTheOther) {
    FixtureOptions options;
    options.duplicates = true;
    options.resultsPerPage = 10;
    FixtureSites sites(options);
    EngineHarness harness(sites);
    // Btrabbit and Btbook both cut the display name off, so their links are identical.
    CheckOnly(*harness.settings, {CheckBox::Btrabbit, CheckBox::Btbook});
    harness.settings->SetChecked(CheckBox::FilterLinks, GetParam().dedupe);
    harness.settings->SetNumber(NumberBox::Pages, 2);
    ASSERT_TRUE(harness.RunToEnd("abc"));
    EXPECT_EQ(harness.engine->MagnetList().RowCount(), GetParam().rows);
    EXPECT_EQ(harness.engine->FilteredLinks(), GetParam().filteredLinks);
    EXPECT_EQ(GbkToUtf8(harness.statusBar->Panes()[2]),
              " 过滤链接： " + std::to_string(GetParam().filteredLinks) + "  条");
}

INSTANTIATE_TEST_SUITE_P(OnAndOff, DuplicateFilter,
                         ::testing::Values(FilterCase{true, 20, 20}, FilterCase{false, 40, 0}));

TEST(MagnetPipeline, TheExactFilterHonoursLetterCaseAndCountsWhatItDrops) {
    FixtureOptions options;
    options.capitals = true;  // every second name writes ABC
    options.resultsPerPage = 10;
    FixtureSites sites(options);
    EngineHarness harness(sites);
    CheckOnly(*harness.settings, {CheckBox::Btrabbit});
    harness.settings->SetNumber(NumberBox::Pages, 1);
    ASSERT_TRUE(harness.RunToEnd("abc"));
    EXPECT_EQ(harness.engine->MagnetList().RowCount(), 5);
    EXPECT_EQ(harness.engine->FilteredResources(), 5);
    for (const auto& row : harness.engine->MagnetList().Rows()) {
        EXPECT_EQ(row[1].rfind("abc", 0), 0u) << row[1];
    }
    harness.settings->SetChecked(CheckBox::ExactMatch, false);
    ASSERT_TRUE(harness.RunToEnd("abc"));
    EXPECT_EQ(harness.engine->MagnetList().RowCount(), 10);
    EXPECT_EQ(harness.engine->FilteredResources(), 0);
}

TEST(MagnetPipeline, ADuplicateThatAlsoLacksTheKeywordCountsOnlyAsAFilteredLink) {
    EngineHarness harness(SiteAddresses{});
    auto run = std::make_shared<const RunContext>("abc");
    const MagnetResult first{"abc one", "magnet:?xt=1", "DSS", "", "", ""};
    const MagnetResult both{"other", "magnet:?xt=1", "ZZS", "", "", ""};
    ListMagnetResult(*harness.engine, *run, first);
    ListMagnetResult(*harness.engine, *run, both);
    EXPECT_EQ(harness.engine->MagnetList().RowCount(), 1);
    EXPECT_EQ(harness.engine->FilteredLinks(), 1);
    EXPECT_EQ(harness.engine->FilteredResources(), 0);
}

TEST(MagnetPipeline, AKeywordWithATrailingBlankKeepsOnlyNamesHoldingThatBlank) {
    EngineHarness harness(SiteAddresses{});
    auto run = std::make_shared<const RunContext>("abc ");
    ListMagnetResult(*harness.engine, *run, {"abc.2019", "m1", "DSS", "", "", ""});
    ListMagnetResult(*harness.engine, *run, {"the abc film", "m2", "DSS", "", "", ""});
    ASSERT_EQ(harness.engine->MagnetList().RowCount(), 1);
    EXPECT_EQ(harness.engine->MagnetList().CellText(0, 1), "the abc film");
}

TEST(MagnetPipeline, RowsFromManyThreadsAtOnceAreNumberedOneToNWithoutGaps) {
    FixtureSites sites;
    EngineHarness harness(sites);
    CheckOnly(*harness.settings, {CheckBox::Btrabbit, CheckBox::Zzs, CheckBox::Dss, CheckBox::Btbook});
    harness.settings->SetChecked(CheckBox::KeepNewestInView, true);
    harness.settings->SetNumber(NumberBox::Pages, 10);
    harness.settings->SetNumber(NumberBox::Interval, 0);  // every page thread at once
    ASSERT_TRUE(harness.RunToEnd("abc"));
    const auto rows = harness.engine->MagnetList().Rows();
    ASSERT_EQ(rows.size(), 4u * 10u * 20u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i][0], std::to_string(i + 1));
        ASSERT_EQ(rows[i].size(), 7u);
        ASSERT_FALSE(rows[i][2].empty());
    }
    EXPECT_EQ(harness.engine->MagnetList().LastScrollRequest(), static_cast<int>(rows.size()) - 1);
    EXPECT_EQ(GbkToUtf8(harness.statusBar->Panes()[0]), " 磁力链接： 800  条");
}

TEST(MagnetPipeline, WithoutKeepInViewNothingIsScrolled) {
    FixtureSites sites;
    EngineHarness harness(sites);
    CheckOnly(*harness.settings, {CheckBox::Dss});
    harness.settings->SetNumber(NumberBox::Pages, 1);
    ASSERT_TRUE(harness.RunToEnd("abc"));
    EXPECT_EQ(harness.engine->MagnetList().RowCount(), 20);
    EXPECT_EQ(harness.engine->MagnetList().LastScrollRequest(), -1);
}

TEST(MagnetPipeline, ASizeCharacterThatGbkLacksBecomesASpace) {
    FixtureOptions options;
    options.missingGbkSize = true;
    options.resultsPerPage = 3;
    FixtureSites sites(options);
    EngineHarness harness(sites);
    CheckOnly(*harness.settings, {CheckBox::Btrabbit, CheckBox::Dss, CheckBox::Btbook, CheckBox::Zzs});
    harness.settings->SetNumber(NumberBox::Pages, 1);
    ASSERT_TRUE(harness.RunToEnd("abc"));
    for (const auto& row : harness.engine->MagnetList().Rows()) {
        if (row[3] == "ZZS") {
            EXPECT_NE(row[4].find('?'), std::string::npos) << "ZZS keeps its sizes as written";
        } else {
            EXPECT_EQ(row[4].find('?'), std::string::npos) << row[3] << " " << row[4];
            EXPECT_NE(row[4].find(" GB"), std::string::npos) << row[3] << " " << row[4];
        }
    }
}

}  // namespace
}  // namespace fw
