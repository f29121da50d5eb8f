#pragma once

// One search at a time, from the search button to the status summary: the run's state, the dispatcher
// that hands out pages 1 … N to page threads at the set interval, pause, continue and stop, the status
// bar and the two result lists. The window and the command line drive the same engine through its ports.
//
// Threads: StartSearch, StopSearch, PauseSearch and ContinueSearch run on the caller's (GUI) thread.
// Everything else runs on detached worker threads that hold the engine alive; workers already started
// always run to their end.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "app/settings_view.h"
#include "app/site_addresses.h"
#include "search/dispatcher_control.h"
#include "search/result_list.h"
#include "search/run_ports.h"
#include "search/search_run.h"
#include "search/worker_threads.h"

namespace fw {

struct EnginePorts {
    std::shared_ptr<const SettingsView> settings;
    std::shared_ptr<StatusBar> statusBar;
    std::shared_ptr<RunButtons> runButtons;
    std::shared_ptr<TabSwitcher> tabs;
};

// Columns of the two lists.
inline constexpr int kMagnetColumns = 7;  // ID, name, link, site, size, popularity, date
inline constexpr int kPlayColumns = 5;    // ID, title, label, site, address
inline constexpr int kMagnetLinkColumn = 2;
inline constexpr int kPlayAddressColumn = 4;

enum class StartResult { Started, EmptyKeyword, NoThread };

class SearchEngine : public std::enable_shared_from_this<SearchEngine> {
  public:
    static std::shared_ptr<SearchEngine> Create(EnginePorts ports, SiteAddresses addresses);

    // The search button. An empty keyword starts nothing: the window then beeps and shows
    // EmptyKeywordMessage(). A keyword of blanks is not empty and is used as typed.
    StartResult StartSearch(const Text& keyword);
    void StopSearch();
    void PauseSearch();
    void ContinueSearch();

    // For the adapters (any thread).
    ResultList& MagnetList() { return magnetList_; }
    ResultList& PlayList() { return playList_; }
    const ResultList& MagnetList() const { return magnetList_; }
    const ResultList& PlayList() const { return playList_; }
    const SettingsView& Settings() const { return *ports_.settings; }
    const SiteAddresses& Addresses() const { return addresses_; }
    // The run lock of the current run. A worker keeps the pointer while it holds the lock, so it always
    // releases the very lock it took, even when a newer run has made another meanwhile.
    std::shared_ptr<std::mutex> CurrentRunLock() const;
    void CountFilteredLink() { filteredLinks_.fetch_add(1); }
    void CountFilteredResource() { filteredResources_.fetch_add(1); }
    void RefreshStatusSummary();
    // Runs `work` on a counted worker thread; false when no thread could be made (the work is skipped).
    bool StartWorker(std::function<void()> work);

    // For the command line and the tests.
    int PagesHandedOut() const { return pageCounter_.load(); }
    int FilteredLinks() const { return filteredLinks_.load(); }
    int FilteredResources() const { return filteredResources_.load(); }
    std::shared_ptr<const RunContext> CurrentRun() const;
    const WorkerThreads& Workers() const { return workers_; }

  private:
    SearchEngine(EnginePorts ports, SiteAddresses addresses);

    void RunDispatcher(const Text& keyword, const std::shared_ptr<DispatcherControl>& control);
    std::shared_ptr<const RunContext> ResetRun(const Text& keyword);
    void EndRun();
    void SetIdleButtons();
    std::shared_ptr<DispatcherControl> CurrentDispatcher() const;
    void SearchPage(const std::shared_ptr<const RunContext>& run, int page);
    void StartOnlinePlay(const std::shared_ptr<const RunContext>& run);

    const EnginePorts ports_;
    const SiteAddresses addresses_;
    ResultList magnetList_;
    ResultList playList_;
    WorkerThreads workers_;

    std::atomic<std::uint32_t> startTick_{0};
    std::atomic<int> pageCounter_{0};
    std::atomic<int> filteredLinks_{0};
    std::atomic<int> filteredResources_{0};

    mutable std::mutex stateMutex_;  // guards the three pointers below
    std::shared_ptr<std::mutex> runLock_;
    std::shared_ptr<const RunContext> currentRun_;
    std::shared_ptr<DispatcherControl> dispatcher_;
};

// "请输入电影名称再进行搜索" with the caption "信息：".
Text EmptyKeywordMessage();
Text EmptyKeywordCaption();

}  // namespace fw
