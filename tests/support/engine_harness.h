#pragma once

// An engine with in-memory ports, aimed at fixture sites, for the engine's end-to-end tests.

#include <memory>

#include "search/memory_ports.h"
#include "search/search_engine.h"
#include "support/fake_settings.h"
#include "support/fixture_sites.h"

namespace fw::test {

// Every site address pointed at `sites`.
SiteAddresses FixtureAddresses(const FixtureSites& sites);

struct EngineHarness {
    explicit EngineHarness(const FixtureSites& sites);
    explicit EngineHarness(SiteAddresses addresses);
    // Waits for every worker, so that nothing outlives the test.
    ~EngineHarness();

    // Starts a run and waits for every worker of it; false when the workers did not end within `timeout`.
    bool RunToEnd(const Text& keyword, std::chrono::milliseconds timeout = std::chrono::seconds(60));
    bool WaitForWorkers(std::chrono::milliseconds timeout = std::chrono::seconds(60));

    std::shared_ptr<FakeSettings> settings = std::make_shared<FakeSettings>();
    std::shared_ptr<MemoryStatusBar> statusBar = std::make_shared<MemoryStatusBar>();
    std::shared_ptr<MemoryRunButtons> buttons = std::make_shared<MemoryRunButtons>();
    std::shared_ptr<MemoryTabSwitcher> tabs = std::make_shared<MemoryTabSwitcher>();
    std::shared_ptr<SearchEngine> engine;
};

}  // namespace fw::test
