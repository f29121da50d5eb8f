#include "support/engine_harness.h"

namespace fw::test {

SiteAddresses FixtureAddresses(const FixtureSites& sites) {
    SiteAddresses addresses;
    addresses.btrabbit = sites.Address(FixtureSite::Btrabbit);
    addresses.zzs = sites.Address(FixtureSite::Zzs);
    addresses.dss = sites.Address(FixtureSite::Dss);
    addresses.btbook = sites.Address(FixtureSite::Btbook);
    addresses.play7dds = sites.Address(FixtureSite::Play7dds);
    addresses.lexiang = sites.Address(FixtureSite::Lexiang);
    addresses.board = sites.Address(FixtureSite::Board);
    return addresses;
}

EngineHarness::EngineHarness(const FixtureSites& sites) : EngineHarness(FixtureAddresses(sites)) {}

EngineHarness::EngineHarness(SiteAddresses addresses)
    : engine(SearchEngine::Create(EnginePorts{settings, statusBar, buttons, tabs}, std::move(addresses))) {}

EngineHarness::~EngineHarness() {
    engine->Workers().WaitUntilIdle();
}

bool EngineHarness::RunToEnd(const Text& keyword, std::chrono::milliseconds timeout) {
    if (engine->StartSearch(keyword) != StartResult::Started) {
        return false;
    }
    return WaitForWorkers(timeout);
}

bool EngineHarness::WaitForWorkers(std::chrono::milliseconds timeout) {
    return engine->Workers().WaitUntilIdleFor(timeout);
}

}  // namespace fw::test
