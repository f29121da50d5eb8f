#include "cli/search_command.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>

#include "app/settings_path.h"
#include "app/settings_store.h"
#include "app/site_addresses.h"
#include "cli/cli_output.h"
#include "search/memory_ports.h"
#include "search/search_engine.h"
#include "util/code_page.h"

namespace fw::cli {
namespace {

void ApplyOptions(const CliOptions& options, SettingsStore& settings) {
    // Numbers go through the boxes' own correction, as if typed into them.
    if (options.pages) {
        settings.SetBoxText(NumberBox::Pages, *options.pages);
    }
    if (options.threads) {
        settings.SetBoxText(NumberBox::Threads, *options.threads);
    }
    if (options.interval) {
        settings.SetBoxText(NumberBox::Interval, *options.interval);
    }
    auto listed = [](const std::vector<std::string>& list, const char* name) {
        return std::find(list.begin(), list.end(), name) != list.end();
    };
    if (options.sites) {
        settings.SetChecked(CheckBox::Btrabbit, listed(*options.sites, "btrabbit"));
        settings.SetChecked(CheckBox::Zzs, listed(*options.sites, "zzs"));
        settings.SetChecked(CheckBox::Dss, listed(*options.sites, "dss"));
        settings.SetChecked(CheckBox::Btbook, listed(*options.sites, "btbook"));
    }
    if (options.play) {
        settings.SetChecked(CheckBox::Play7dds, listed(*options.play, "7dds"));
        settings.SetChecked(CheckBox::PlayLexiang, listed(*options.play, "lexiang"));
    }
    if (options.exact) {
        settings.SetChecked(CheckBox::ExactMatch, *options.exact);
    }
    if (options.dedupe) {
        settings.SetChecked(CheckBox::FilterLinks, *options.dedupe);
    }
}

// Until every worker has ended, shows on the terminal how far the run has got.
void WaitShowingProgress(const SearchEngine& engine, int pages) {
    const bool showProgress = ::isatty(STDERR_FILENO) != 0;
    while (!engine.Workers().WaitUntilIdleFor(std::chrono::milliseconds(200))) {
        if (showProgress) {
            std::fprintf(stderr, "\rpages handed out: %d/%d, rows so far: %d magnet, %d play   ",
                         std::min(engine.PagesHandedOut(), pages), pages, engine.MagnetList().RowCount(),
                         engine.PlayList().RowCount());
        }
    }
    if (showProgress) {
        std::fprintf(stderr, "\r%78s\r", "");
    }
}

}  // namespace

int RunSearchCommand(const CliOptions& options) {
    const auto iniPath = SettingsIniPath();
    auto settings = std::make_shared<SettingsStore>(iniPath, /*persist=*/false);
    settings->LoadSettings();
    ApplyOptions(options, *settings);

    auto statusBar = std::make_shared<MemoryStatusBar>();
    auto engine = SearchEngine::Create(EnginePorts{settings, statusBar, std::make_shared<MemoryRunButtons>(),
                                                   std::make_shared<MemoryTabSwitcher>()},
                                       LoadSiteAddresses(iniPath));

    if (engine->StartSearch(Utf8ToGbk(options.keyword)) != StartResult::Started) {
        std::cerr << "ferrowind-cli: the search could not be started\n";
        return 1;
    }
    WaitShowingProgress(*engine, settings->Number(NumberBox::Pages));

    const auto magnetRows = engine->MagnetList().Rows();
    const auto playRows = engine->PlayList().Rows();
    const auto panes = statusBar->Panes();
    std::cout << (options.json ? SearchJson(magnetRows, playRows, panes)
                               : SearchLines(magnetRows, playRows, panes));
    std::cout.flush();
    return std::cout ? 0 : 1;
}

}  // namespace fw::cli
