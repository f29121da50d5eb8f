#include <gtest/gtest.h>

#include <ostream>

#include <thread>

#include "sites/play/search_7dds.h"
#include "sites/play/search_lexiang.h"
#include "support/engine_harness.h"
#include "support/loopback_server.h"
#include "support/scoped_net_limits.h"
#include "util/code_page.h"

namespace fw {
namespace {

using test::EngineHarness;
using test::FixtureOptions;
using test::FixtureSite;
using test::FixtureSites;

std::shared_ptr<const RunContext> RunFor(const char* keywordUtf8) {
    return std::make_shared<const RunContext>(Utf8ToGbk(keywordUtf8));
}

struct PostCase {
    const char* keywordUtf8;
    const char* body;
};

void PrintTo(const PostCase& c, std::ostream* out) {
    *out << c.body;
}

class SearchFormPost : public ::testing::TestWithParam<PostCase> {};

TEST_P(SearchFormPost, ReachesTheSiteWithTheFormHeadersAndTheKeywordAsUtf8Escapes) {
    FixtureSites sites;
    EngineHarness harness(sites);
    Search7dds(*harness.engine, *RunFor(GetParam().keywordUtf8));
    SearchLexiang(*harness.engine, *RunFor(GetParam().keywordUtf8));

    const std::pair<FixtureSite, std::string> searches[] = {
        {FixtureSite::Play7dds, "/index.php?m=vod-search"},
        {FixtureSite::Lexiang, "/index.php?s=vod-search-name"},
    };
    for (const auto& [site, target] : searches) {
        const auto requests = sites.Requests(site);
        ASSERT_FALSE(requests.empty());
        const test::RecordedRequest& post = requests.front();
        const std::string url = sites.Address(site) + target;
        const std::string body = GetParam().body;
        EXPECT_EQ(post.raw, "POST " + target +
                                " HTTP/1.1\r\n"
                                "Host: " +
                                sites.Address(site).substr(7) +
                                "\r\n"
                                "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)\r\n"
                                "Accept: */*\r\n"
                                "Referer: " +
                                url +
                                "\r\n"
                                "Accept-Language: zh-cn\r\n"
                                "Content-Type: application/x-www-form-urlencoded\r\n"
                                "Content-Length: " +
                                std::to_string(body.size()) +
                                "\r\n"
                                "\r\n" +
                                body);
        // Every later request reads a detail page with the plain reader.
        for (std::size_t i = 1; i < requests.size(); ++i) {
            EXPECT_EQ(requests[i].method, "GET");
            EXPECT_EQ(requests[i].version, "HTTP/1.0");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Keywords, SearchFormPost,
                         ::testing::Values(PostCase{"abc", "wd=%61%62%63"},
                                           PostCase{"流浪地球", "wd=%E6%B5%81%E6%B5%AA%E5%9C%B0%E7%90%83"}));

TEST(Search7dds, AddsOneRowPerPlayLinkUnderTheHitsTitleAndScrollsWhenAsked) {
    FixtureOptions options;
    options.playHits = 2;
    options.playLinksPerHit = 3;
    FixtureSites sites(options);
    EngineHarness harness(sites);
    harness.settings->SetChecked(CheckBox::KeepNewestInView, true);
    Search7dds(*harness.engine, *RunFor("abc"));

    const auto rows = harness.engine->PlayList().Rows();
    ASSERT_EQ(rows.size(), 6u);
    const std::string base = sites.Address(FixtureSite::Play7dds) + "/";
    EXPECT_EQ(rows[0], (std::vector<Text>{"1", Utf8ToGbk("abc 第1部"), Utf8ToGbk("第01集"), "7DDS",
                                          base + "vod/play/1-1.html"}));
    EXPECT_EQ(rows[5], (std::vector<Text>{"6", Utf8ToGbk("abc 第2部"), Utf8ToGbk("第03集"), "7DDS",
                                          base + "vod/play/2-3.html"}));
    EXPECT_EQ(harness.engine->PlayList().LastScrollRequest(), 5);
    EXPECT_EQ(GbkToUtf8(harness.statusBar->Panes()[1]), " 在线播放： 6  条");
    EXPECT_EQ(harness.engine->FilteredLinks(), 0);
}

TEST(SearchLexiang, TakesOnlyTheFirstPlayListAndNeverScrolls) {
    FixtureOptions options;
    options.playHits = 2;
    options.playLinksPerHit = 2;
    FixtureSites sites(options);
    EngineHarness harness(sites);
    harness.settings->SetChecked(CheckBox::KeepNewestInView, true);
    SearchLexiang(*harness.engine, *RunFor("abc"));

    const auto rows = harness.engine->PlayList().Rows();
    ASSERT_EQ(rows.size(), 4u);
    const std::string base = sites.Address(FixtureSite::Lexiang);
    EXPECT_EQ(rows[1], (std::vector<Text>{"2", Utf8ToGbk("abc 第1部"), Utf8ToGbk("第02集"),
                                          Utf8ToGbk("乐享电影网"), base + "/play/1-2.html"}));
    for (const auto& row : rows) {
        EXPECT_EQ(row[4].find("/backup/"), std::string::npos) << "a second play list was read";
    }
    EXPECT_EQ(harness.engine->PlayList().LastScrollRequest(), -1);
}

TEST(SearchLexiang, AHitWithoutAPlayListAddsNoRow) {
    test::LoopbackServer site([](const test::RecordedRequest& request, test::Responder& reply) {
        if (request.method == "POST") {
            reply.Send(200, "OK", {}, "<h3><a href=\"/movie/1.html\">One</a></h3>\n");
        } else {
            reply.Send(200, "OK", {}, "<ul><li>no links here</li></ul>");
        }
    });
    SiteAddresses addresses;
    addresses.lexiang = site.BaseUrl();
    EngineHarness harness(addresses);
    SearchLexiang(*harness.engine, *RunFor("abc"));
    EXPECT_EQ(harness.engine->PlayList().RowCount(), 0);
    EXPECT_EQ(site.Requests().size(), 2u);  // the search and the one detail page
}

TEST(Search7dds, MarkersMissingInAHitOrLinkFallBackToTheBaseAddress) {
    test::LoopbackServer site([](const test::RecordedRequest& request, test::Responder& reply) {
        if (request.method == "POST") {
            // A hit without href="…": the site's start page is read as its detail page.
            reply.Send(200, "OK", {}, "<h3><a href=one>Odd</a></h3>\n");
        } else {
            reply.Send(200, "OK", {}, "<a title='Only label' target>");
        }
    });
    SiteAddresses addresses;
    addresses.play7dds = site.BaseUrl();
    EngineHarness harness(addresses);
    Search7dds(*harness.engine, *RunFor("abc"));
    const auto requests = site.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].target, "/");
    ASSERT_EQ(harness.engine->PlayList().RowCount(), 1);
    EXPECT_EQ(harness.engine->PlayList().CellText(0, 2), "");                    // no "' href=": empty label
    EXPECT_EQ(harness.engine->PlayList().CellText(0, 4), site.BaseUrl() + "/");  // no "href='": base alone
}

TEST(OnlinePlay, BothSitesShareOneNumberingWithoutGapsWhenTheyAddRowsAtOnce) {
    FixtureOptions options;
    options.playHits = 10;
    options.playLinksPerHit = 10;
    FixtureSites sites(options);
    EngineHarness harness(sites);
    auto run = RunFor("abc");
    std::thread first([&] { Search7dds(*harness.engine, *run); });
    std::thread second([&] { SearchLexiang(*harness.engine, *run); });
    first.join();
    second.join();
    const auto rows = harness.engine->PlayList().Rows();
    ASSERT_EQ(rows.size(), 200u);
    int from7dds = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i][0], std::to_string(i + 1));
        from7dds += rows[i][3] == "7DDS" ? 1 : 0;
    }
    EXPECT_EQ(from7dds, 100);
}

TEST(OnlinePlay, AnUnreachableSearchAddsNothingButStillRefreshesTheStatus) {
    SiteAddresses addresses;
    addresses.play7dds = "http://127.0.0.1:1";
    addresses.lexiang = "http://127.0.0.1:1";
    EngineHarness harness(addresses);
    Search7dds(*harness.engine, *RunFor("abc"));
    EXPECT_EQ(harness.statusBar->WriteCount(), 5);
    SearchLexiang(*harness.engine, *RunFor("abc"));
    EXPECT_EQ(harness.statusBar->WriteCount(), 10);
    EXPECT_EQ(GbkToUtf8(harness.statusBar->Panes()[1]), " 在线播放： 0  条");
    EXPECT_EQ(harness.engine->PlayList().RowCount(), 0);
}

TEST(OnlinePlay, ARunStartsTheCheckedSitesAfterItsLastPage) {
    FixtureSites sites;
    EngineHarness harness(sites);
    harness.settings->UncheckAllSites();
    harness.settings->SetChecked(CheckBox::PlayLexiang, true);
    harness.settings->SetNumber(NumberBox::Pages, 1);
    ASSERT_TRUE(harness.RunToEnd("abc"));
    EXPECT_TRUE(sites.Requests(FixtureSite::Play7dds).empty());
    EXPECT_EQ(harness.engine->PlayList().RowCount(), 3 * 4);
}

}  // namespace
}  // namespace fw

namespace fw {
namespace {

TEST(OnlinePlayHostile, ASearchPageOfAHundredThousandHitsIsFollowedOnlyForItsFirstFiveHundred) {
    FixtureOptions options;
    options.hostile[FixtureSite::Play7dds] = test::HostileMode::ManyResults;
    options.playLinksPerHit = 1;
    FixtureSites sites(options);
    EngineHarness harness(sites);
    Search7dds(*harness.engine, *RunFor("abc"));
    EXPECT_EQ(harness.engine->PlayList().RowCount(), 500);
    EXPECT_EQ(sites.Requests(FixtureSite::Play7dds).size(), 501u);  // the search and 500 detail pages
}

TEST(OnlinePlayHostile, DetailPagesThatNeverEndAreCutAndAddABoundedNumberOfRows) {
    const test::ScopedNetLimits limits(test::QuickNetLimits(256 * 1024));
    FixtureOptions options;
    options.hostile[FixtureSite::Play7dds] = test::HostileMode::EndlessDetail;
    options.hostile[FixtureSite::Lexiang] = test::HostileMode::EndlessDetail;
    options.playHits = 2;
    FixtureSites sites(options);
    EngineHarness harness(sites);
    Search7dds(*harness.engine, *RunFor("abc"));
    EXPECT_EQ(harness.engine->PlayList().RowCount(), 2 * 1000);
    // 乐享电影网's pages stream on after a complete first play list, which alone counts.
    SearchLexiang(*harness.engine, *RunFor("abc"));
    EXPECT_EQ(harness.engine->PlayList().RowCount(), 2 * 1000 + 2 * 4);
}

TEST(OnlinePlayHostile, AStallingSiteEndsAtTheLimitsWithNoRows) {
    const test::ScopedNetLimits limits(test::QuickNetLimits());
    FixtureOptions options;
    options.hostile[FixtureSite::Play7dds] = test::HostileMode::Stall;
    FixtureSites sites(options);
    EngineHarness harness(sites);
    Search7dds(*harness.engine, *RunFor("abc"));
    EXPECT_EQ(harness.engine->PlayList().RowCount(), 0);
    EXPECT_EQ(GbkToUtf8(harness.statusBar->Panes()[1]), " 在线播放： 0  条");
}

}  // namespace
}  // namespace fw
