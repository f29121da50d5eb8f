// Benchmarks of the search engine: parsing and listing one result page, listing many rows with the
// duplicate filter on, and a whole run against the fixture sites.

#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "sites/magnet/search_magnet_page.h"
#include "support/engine_harness.h"
#include "support/fixture_sites.h"
#include "util/code_page.h"

namespace {

using namespace fw;
using Clock = std::chrono::steady_clock;

// Parsing, filtering and listing one 30-result page, as one site thread does after its read.
void BM_ParseFilterAndListOnePage(benchmark::State& state) {
    test::FixtureOptions options;
    options.resultsPerPage = 30;
    const Text page =
        Utf8ToGbk(test::FixtureSites::MagnetPage(test::FixtureSite::Btrabbit, options, "abc", 1));
    test::EngineHarness harness(SiteAddresses{});
    const auto run = std::make_shared<const RunContext>("abc");
    const MagnetSiteProfile& profile = ProfileOf(MagnetSite::Btrabbit);
    for (auto _ : state) {
        state.PauseTiming();
        harness.engine->MagnetList().DeleteAllRows();
        state.ResumeTiming();
        for (const MagnetResult& result : ParseMagnetPage(profile, page)) {
            ListMagnetResult(*harness.engine, *run, result);
        }
    }
    state.counters["rows"] = harness.engine->MagnetList().RowCount();
}
BENCHMARK(BM_ParseFilterAndListOnePage)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);

// Listing 20,000 rows with the duplicate filter on: the cost of the last 1,000 against the first 1,000.
void BM_ListTwentyThousandRowsWithDuplicateFilter(benchmark::State& state) {
    constexpr int kRows = 20'000;
    constexpr int kSlice = 1'000;
    std::vector<MagnetResult> results;
    results.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
        results.push_back({"abc movie " + std::to_string(i),
                           "magnet:?xt=urn:btih:" + std::to_string(1'000'000 + i), "DSS", "1.5 GB", "100",
                           "2026-12-11"});
    }
    double firstSeconds = 0;
    double lastSeconds = 0;
    for (auto _ : state) {
        test::EngineHarness harness(SiteAddresses{});
        const auto run = std::make_shared<const RunContext>("abc");
        for (int i = 0; i < kRows; ++i) {
            const auto begin = Clock::now();
            ListMagnetResult(*harness.engine, *run, results[static_cast<std::size_t>(i)]);
            const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
            if (i < kSlice) {
                firstSeconds += seconds;
            } else if (i >= kRows - kSlice) {
                lastSeconds += seconds;
            }
        }
        benchmark::DoNotOptimize(harness.engine->MagnetList().RowCount());
    }
    state.counters["first_1000_us"] = firstSeconds * 1e6 / static_cast<double>(state.iterations());
    state.counters["last_1000_us"] = lastSeconds * 1e6 / static_cast<double>(state.iterations());
    state.counters["last_over_first"] = lastSeconds / firstSeconds;
}
BENCHMARK(BM_ListTwentyThousandRowsWithDuplicateFilter)->Unit(benchmark::kMillisecond)->Iterations(5);

// A run of 100 pages × 4 sites against the fixture sites, interval 100 ms, batches of 20: how long the
// workers go on after the last page was handed out.
void BM_RunOfOneHundredPagesOnFourSites(benchmark::State& state) {
    test::FixtureSites sites;
    double tailMs = 0;
    for (auto _ : state) {
        test::EngineHarness harness(sites);
        harness.settings->UncheckAllSites();
        for (const CheckBox box : {CheckBox::Btrabbit, CheckBox::Zzs, CheckBox::Dss, CheckBox::Btbook}) {
            harness.settings->SetChecked(box, true);
        }
        harness.settings->SetChecked(CheckBox::ExactMatch, false);
        harness.settings->SetNumber(NumberBox::Pages, 100);
        harness.settings->SetNumber(NumberBox::Threads, 20);
        harness.settings->SetNumber(NumberBox::Interval, 100);
        harness.engine->StartSearch("abc");
        while (harness.engine->PagesHandedOut() < 100) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const auto lastPage = Clock::now();
        harness.engine->Workers().WaitUntilIdle();
        tailMs += std::chrono::duration<double, std::milli>(Clock::now() - lastPage).count();
        state.counters["rows"] = harness.engine->MagnetList().RowCount();
    }
    // The dispatcher still waits one interval after the last page before it ends the run.
    state.counters["tail_after_last_page_ms"] = tailMs / static_cast<double>(state.iterations());
}
BENCHMARK(BM_RunOfOneHundredPagesOnFourSites)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
