#include "search/search_engine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

#include "support/engine_harness.h"
#include "support/fixture_sites.h"
#include "support/loopback_server.h"
#include "util/code_page.h"

namespace fw {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::EngineHarness;
using test::FixtureOptions;
using test::FixtureSite;
using test::FixtureSites;
using test::LoopbackServer;

// Stands in for Btrabbit and the two video sites, noting when each request arrived.
class PacedSites {
  public:
    struct Arrival {
        int page;
        Clock::time_point at;
    };

    PacedSites()
        : magnet_([this](const test::RecordedRequest& request, test::Responder& reply) {
              const int page = std::stoi(request.target.substr(request.target.rfind('-') + 1));
              std::function<void(int)> onPage;
              {
                  std::lock_guard guard(mutex_);
                  arrivals_.push_back({page, Clock::now()});
                  onPage = onPage_;
              }
              if (onPage) {
                  onPage(page);
              }
              reply.Send(200, "OK", {}, FixtureSites::MagnetPage(FixtureSite::Btrabbit, {}, "abc", page));
          }),
          play_([this](const test::RecordedRequest&, test::Responder& reply) {
              {
                  std::lock_guard guard(mutex_);
                  playAt_.push_back(Clock::now());
              }
              reply.Send(200, "OK", {}, "<html></html>");
          }) {}

    SiteAddresses Addresses() const {
        SiteAddresses addresses;
        addresses.btrabbit = magnet_.BaseUrl();
        addresses.play7dds = play_.BaseUrl();
        addresses.lexiang = play_.BaseUrl();
        return addresses;
    }
    std::vector<Arrival> Arrivals() const {
        std::lock_guard guard(mutex_);
        return arrivals_;
    }
    std::vector<Clock::time_point> PlayRequests() const {
        std::lock_guard guard(mutex_);
        return playAt_;
    }

    // Called on the server's thread as each page request arrives.
    void OnPage(std::function<void(int page)> onPage) {
        std::lock_guard guard(mutex_);
        onPage_ = std::move(onPage);
    }

  private:
    std::function<void(int page)> onPage_;
    mutable std::mutex mutex_;
    std::vector<Arrival> arrivals_;
    std::vector<Clock::time_point> playAt_;
    LoopbackServer magnet_;
    LoopbackServer play_;
};

void OnlyBtrabbit(test::FakeSettings& settings, bool withPlay) {
    settings.UncheckAllSites();
    settings.SetChecked(CheckBox::Btrabbit, true);
    settings.SetChecked(CheckBox::Play7dds, withPlay);
}

std::vector<int> PagesInArrivalOrder(const std::vector<PacedSites::Arrival>& arrivals) {
    std::vector<int> pages;
    for (const auto& arrival : arrivals) {
        pages.push_back(arrival.page);
    }
    return pages;
}

const std::vector<int> kPagesOneToTen = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

class DispatcherPace : public ::testing::TestWithParam<int> {};

TEST_P(DispatcherPace, HandsOutEveryPageOnceInOrderOnePerInterval) {
    PacedSites sites;
    EngineHarness harness(sites.Addresses());
    OnlyBtrabbit(*harness.settings, false);
    harness.settings->SetNumber(NumberBox::Pages, 10);
    harness.settings->SetNumber(NumberBox::Threads, GetParam());
    harness.settings->SetNumber(NumberBox::Interval, 100);

    ASSERT_TRUE(harness.RunToEnd("abc"));
    const auto arrivals = sites.Arrivals();
    EXPECT_EQ(PagesInArrivalOrder(arrivals), kPagesOneToTen);
    ASSERT_EQ(arrivals.size(), 10u);
    // Nine waits of at least the interval lie between the first page and the last (a little slack for
    // threads that start late).
    EXPECT_GE(arrivals.back().at - arrivals.front().at, 900ms - 50ms);
    EXPECT_EQ(harness.engine->PagesHandedOut(), 11);  // the counter ran one past N to end the batch loop
}

INSTANTIATE_TEST_SUITE_P(BatchSizes, DispatcherPace, ::testing::Values(3, 20));

TEST(Dispatcher, RereadsTheIntervalBeforeEveryWait) {
    PacedSites sites;
    EngineHarness harness(sites.Addresses());
    OnlyBtrabbit(*harness.settings, false);
    harness.settings->SetNumber(NumberBox::Pages, 8);
    harness.settings->SetNumber(NumberBox::Interval, 100);
    auto settings = harness.settings;
    sites.OnPage([settings](int page) {
        if (page == 2) {
            settings->SetNumber(NumberBox::Interval, 300);
        }
    });
    ASSERT_TRUE(harness.RunToEnd("abc"));
    const auto arrivals = sites.Arrivals();
    ASSERT_EQ(arrivals.size(), 8u);
    // By page 4 the new interval rules every wait.
    EXPECT_GE(arrivals[7].at - arrivals[3].at, 4 * 300ms - 50ms);
}

TEST(Dispatcher, WithOnePageStartsOnlinePlayOneIntervalLaterAndReturnsToIdle) {
    PacedSites sites;
    EngineHarness harness(sites.Addresses());
    OnlyBtrabbit(*harness.settings, true);
    harness.settings->SetNumber(NumberBox::Pages, 1);
    harness.settings->SetNumber(NumberBox::Interval, 200);

    ASSERT_TRUE(harness.RunToEnd("abc"));
    ASSERT_EQ(sites.Arrivals().size(), 1u);
    ASSERT_EQ(sites.PlayRequests().size(), 1u);
    EXPECT_GE(sites.PlayRequests()[0] - sites.Arrivals()[0].at, 200ms - 50ms);
    EXPECT_EQ(harness.tabs->Current(), MainTab::Magnet);
    EXPECT_TRUE(harness.buttons->State(RunButton::Search).visible);
    EXPECT_FALSE(harness.buttons->State(RunButton::Stop).visible);
    EXPECT_TRUE(harness.buttons->State(RunButton::Pause).visible);
    EXPECT_FALSE(harness.buttons->State(RunButton::Pause).enabled);
    EXPECT_FALSE(harness.buttons->State(RunButton::Continue).visible);
}

TEST(Dispatcher, ShowsTheRunningButtonsWhileItHandsOutPages) {
    PacedSites sites;
    EngineHarness harness(sites.Addresses());
    OnlyBtrabbit(*harness.settings, false);
    harness.settings->SetNumber(NumberBox::Pages, 3);
    harness.settings->SetNumber(NumberBox::Interval, 300);
    std::promise<void> firstPage;
    sites.OnPage([&firstPage](int page) {
        if (page == 1) {
            firstPage.set_value();
        }
    });
    ASSERT_EQ(harness.engine->StartSearch("abc"), StartResult::Started);
    firstPage.get_future().wait();
    EXPECT_FALSE(harness.buttons->State(RunButton::Search).visible);
    EXPECT_TRUE(harness.buttons->State(RunButton::Stop).visible);
    EXPECT_TRUE(harness.buttons->State(RunButton::Pause).visible);
    EXPECT_TRUE(harness.buttons->State(RunButton::Pause).enabled);
    EXPECT_FALSE(harness.buttons->State(RunButton::Continue).visible);
    // The panes keep the texts the start wrote until the first refresh.
    ASSERT_TRUE(harness.WaitForWorkers(60s));
}

TEST(Dispatcher, StopBeforeTheLastPageEndsHandingOutAndStartsNoOnlinePlay) {
    PacedSites sites;
    EngineHarness harness(sites.Addresses());
    OnlyBtrabbit(*harness.settings, true);
    harness.settings->SetChecked(CheckBox::PlayLexiang, true);
    harness.settings->SetNumber(NumberBox::Pages, 10);
    harness.settings->SetNumber(NumberBox::Interval, 100);
    std::promise<void> thirdPage;
    sites.OnPage([&thirdPage](int page) {
        if (page == 3) {
            thirdPage.set_value();
        }
    });
    ASSERT_EQ(harness.engine->StartSearch("abc"), StartResult::Started);
    thirdPage.get_future().wait();
    harness.engine->StopSearch();
    EXPECT_TRUE(harness.buttons->State(RunButton::Search).visible);
    EXPECT_FALSE(harness.buttons->State(RunButton::Stop).visible);
    EXPECT_FALSE(harness.buttons->State(RunButton::Pause).enabled);

    ASSERT_TRUE(harness.WaitForWorkers(60s));
    EXPECT_LE(sites.Arrivals().size(), 4u);
    EXPECT_TRUE(sites.PlayRequests().empty());
    // The rows of the pages already started still arrived, and their workers refreshed the summary.
    EXPECT_EQ(harness.engine->MagnetList().RowCount(), static_cast<int>(sites.Arrivals().size()) * 20);
    EXPECT_EQ(GbkToUtf8(harness.statusBar->Panes()[0]),
              " 磁力链接： " + std::to_string(harness.engine->MagnetList().RowCount()) + "  条");
}

TEST(Dispatcher, PauseHoldsNewPagesAndContinueGoesOnWhereItStopped) {
    PacedSites sites;
    EngineHarness harness(sites.Addresses());
    OnlyBtrabbit(*harness.settings, true);
    harness.settings->SetNumber(NumberBox::Pages, 6);
    harness.settings->SetNumber(NumberBox::Interval, 100);
    std::promise<void> secondPage;
    sites.OnPage([&secondPage](int page) {
        if (page == 2) {
            secondPage.set_value();
        }
    });
    ASSERT_EQ(harness.engine->StartSearch("abc"), StartResult::Started);
    secondPage.get_future().wait();
    harness.engine->PauseSearch();
    EXPECT_FALSE(harness.buttons->State(RunButton::Pause).visible);
    EXPECT_TRUE(harness.buttons->State(RunButton::Continue).visible);
    std::this_thread::sleep_for(500ms);
    const std::size_t whilePaused = sites.Arrivals().size();
    EXPECT_LE(whilePaused, 3u);  // page 3 may have been on its way when the pause came
    EXPECT_TRUE(sites.PlayRequests().empty());

    harness.engine->ContinueSearch();
    EXPECT_TRUE(harness.buttons->State(RunButton::Pause).visible);
    EXPECT_FALSE(harness.buttons->State(RunButton::Continue).visible);
    ASSERT_TRUE(harness.WaitForWorkers(60s));
    EXPECT_EQ(PagesInArrivalOrder(sites.Arrivals()), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(sites.PlayRequests().size(), 1u);
}

TEST(Dispatcher, AnEmptyKeywordStartsNothingWhileBlanksAreAKeyword) {
    PacedSites sites;
    EngineHarness harness(sites.Addresses());
    OnlyBtrabbit(*harness.settings, false);
    harness.settings->SetNumber(NumberBox::Pages, 1);
    EXPECT_EQ(harness.engine->StartSearch(""), StartResult::EmptyKeyword);
    EXPECT_EQ(GbkToUtf8(EmptyKeywordMessage()), "请输入电影名称再进行搜索");
    EXPECT_EQ(GbkToUtf8(EmptyKeywordCaption()), "信息：");
    EXPECT_EQ(harness.statusBar->WriteCount(), 0);
    ASSERT_TRUE(harness.RunToEnd("  "));
    ASSERT_EQ(sites.Arrivals().size(), 1u);
    EXPECT_EQ(harness.engine->CurrentRun()->keyword, "  ");
}

TEST(Dispatcher, ANewRunEmptiesBothListsAndResetsTheCounters) {
    FixtureOptions options;
    options.resultsPerPage = 5;
    options.duplicates = true;
    FixtureSites sites(options);
    EngineHarness harness(sites);
    harness.settings->UncheckAllSites();
    harness.settings->SetChecked(CheckBox::Btrabbit, true);
    harness.settings->SetChecked(CheckBox::Btbook, true);
    harness.settings->SetChecked(CheckBox::Play7dds, true);
    harness.settings->SetNumber(NumberBox::Pages, 1);
    ASSERT_TRUE(harness.RunToEnd("abc"));
    EXPECT_EQ(harness.engine->FilteredLinks(), 5);
    EXPECT_GT(harness.engine->PlayList().RowCount(), 0);

    harness.settings->UncheckAllSites();
    harness.settings->SetChecked(CheckBox::Dss, true);
    ASSERT_TRUE(harness.RunToEnd("xyz"));
    EXPECT_EQ(harness.engine->MagnetList().RowCount(), 5);
    EXPECT_EQ(harness.engine->PlayList().RowCount(), 0);
    EXPECT_EQ(harness.engine->FilteredLinks(), 0);
    EXPECT_EQ(harness.engine->MagnetList().CellText(0, 0), "1");
}

}  // namespace
}  // namespace fw

namespace fw {
namespace {

TEST(Dispatcher, LateRowsOfAnEarlierRunLandInTheNewRunsListUnderItsOwnLock) {
    std::promise<void> slowPageAsked;
    std::atomic<bool> released{false};
    std::mutex releaseMutex;
    std::condition_variable releaseChanged;
    test::LoopbackServer site([&](const test::RecordedRequest& request, test::Responder& reply) {
        const bool old = request.target.find("%6F%6C%64") != std::string::npos;  // "old"
        if (old) {
            slowPageAsked.set_value();
            std::unique_lock lock(releaseMutex);
            releaseChanged.wait(lock, [&] { return released.load(); });
        }
        FixtureOptions options;
        options.resultsPerPage = 3;
        reply.Send(200, "OK", {},
                   FixtureSites::MagnetPage(FixtureSite::Btrabbit, options, old ? "old" : "new", 1));
    });
    SiteAddresses addresses;
    addresses.btrabbit = site.BaseUrl();
    EngineHarness harness(addresses);
    harness.settings->UncheckAllSites();
    harness.settings->SetChecked(CheckBox::Btrabbit, true);
    harness.settings->SetChecked(CheckBox::ExactMatch, false);
    harness.settings->SetNumber(NumberBox::Pages, 1);
    harness.settings->SetNumber(NumberBox::Interval, 0);

    ASSERT_EQ(harness.engine->StartSearch("old"), StartResult::Started);
    slowPageAsked.get_future().wait();
    const auto oldLock = harness.engine->CurrentRunLock();
    // The first run has ended (its worker still fetching); a new one starts and makes its own lock.
    while (!harness.buttons->State(RunButton::Search).visible) {
        std::this_thread::sleep_for(1ms);
    }
    ASSERT_EQ(harness.engine->StartSearch("new"), StartResult::Started);
    while (harness.engine->CurrentRun()->keyword != "new" || harness.engine->CurrentRunLock() == oldLock) {
        std::this_thread::sleep_for(1ms);
    }
    {
        std::lock_guard guard(releaseMutex);
        released = true;
    }
    releaseChanged.notify_all();
    ASSERT_TRUE(harness.WaitForWorkers(60s));

    const auto rows = harness.engine->MagnetList().Rows();
    ASSERT_EQ(rows.size(), 6u);
    int oldRows = 0;
    for (const auto& row : rows) {
        oldRows += row[1].rfind("old", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(oldRows, 3);
    // Both locks are free again.
    EXPECT_TRUE(oldLock->try_lock());
    oldLock->unlock();
    EXPECT_TRUE(harness.engine->CurrentRunLock()->try_lock());
    harness.engine->CurrentRunLock()->unlock();
}

}  // namespace
}  // namespace fw
