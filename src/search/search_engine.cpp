#include "search/search_engine.h"

#include <utility>

#include "search/status_summary.h"
#include "search/tick_count.h"
#include "sites/magnet/search_magnet_page.h"
#include "sites/play/search_7dds.h"
#include "sites/play/search_lexiang.h"
#include "util/code_page.h"

namespace fw {

std::shared_ptr<SearchEngine> SearchEngine::Create(EnginePorts ports, SiteAddresses addresses) {
    return std::shared_ptr<SearchEngine>(new SearchEngine(std::move(ports), std::move(addresses)));
}

SearchEngine::SearchEngine(EnginePorts ports, SiteAddresses addresses)
    : ports_(std::move(ports)),
      addresses_(std::move(addresses)),
      magnetList_(kMagnetColumns, {kMagnetLinkColumn}),
      playList_(kPlayColumns),
      runLock_(std::make_shared<std::mutex>()),
      currentRun_(std::make_shared<const RunContext>(Text())) {}

StartResult SearchEngine::StartSearch(const Text& keyword) {
    if (keyword.empty()) {
        return StartResult::EmptyKeyword;
    }
    const auto panes = InitialStatusPanes();
    for (int pane = 0; pane < kStatusPaneCount; ++pane) {
        ports_.statusBar->SetPaneText(pane, panes[static_cast<std::size_t>(pane)]);
    }
    auto control = std::make_shared<DispatcherControl>();
    {
        std::lock_guard guard(stateMutex_);
        dispatcher_ = control;
    }
    const bool started =
        StartWorker([self = shared_from_this(), keyword, control] { self->RunDispatcher(keyword, control); });
    return started ? StartResult::Started : StartResult::NoThread;
}

void SearchEngine::RunDispatcher(const Text& keyword, const std::shared_ptr<DispatcherControl>& control) {
    startTick_.store(TickCount());
    std::shared_ptr<const RunContext> run;
    if (!control->RunUnlessStopped([&] { run = ResetRun(keyword); })) {
        return;
    }
    ports_.tabs->ShowTab(MainTab::Magnet);
    {
        std::lock_guard guard(stateMutex_);
        runLock_ = std::make_shared<std::mutex>();
    }
    const int threads = Settings().Number(NumberBox::Threads);
    const int pages = Settings().Number(NumberBox::Pages);

    // Pages go out in batches of `threads`, but batches follow each other without a pause, so the batch
    // size does not limit how many page threads run at once: the interval alone paces the requests.
    while (pageCounter_.load() < pages) {
        for (int inBatch = 0; inBatch < threads; ++inBatch) {
            const int page = pageCounter_.fetch_add(1) + 1;
            if (page > pages) {
                break;
            }
            const bool goOn = control->RunUnlessStopped([&] {
                StartWorker([self = shared_from_this(), run, page] { self->SearchPage(run, page); });
            });
            if (!goOn) {
                return;
            }
            const int interval = Settings().Number(NumberBox::Interval);  // re-read before every wait
            if (interval > 0 && !control->Wait(interval)) {
                return;
            }
        }
        if (threads <= 0) {
            break;  // the box never allows this; without it the loop would never hand out a page
        }
    }
    const bool ended = control->RunUnlessStopped([&] {
        StartWorker([self = shared_from_this(), run] { self->StartOnlinePlay(run); });
        EndRun();
    });
    if (ended) {
        control->MarkFinished();
    }
}

std::shared_ptr<const RunContext> SearchEngine::ResetRun(const Text& keyword) {
    auto run = std::make_shared<const RunContext>(keyword);
    {
        std::lock_guard guard(stateMutex_);
        currentRun_ = run;
    }
    magnetList_.DeleteAllRows();
    playList_.DeleteAllRows();
    pageCounter_.store(0);
    filteredLinks_.store(0);
    filteredResources_.store(0);
    RunButtons& buttons = *ports_.runButtons;
    buttons.SetButtonEnabled(RunButton::Pause, true);
    buttons.SetButtonVisible(RunButton::Stop, true);
    buttons.SetButtonVisible(RunButton::Pause, true);
    buttons.SetButtonVisible(RunButton::Search, false);
    buttons.SetButtonVisible(RunButton::Continue, false);
    return run;
}

void SearchEngine::SetIdleButtons() {
    RunButtons& buttons = *ports_.runButtons;
    buttons.SetButtonEnabled(RunButton::Pause, false);
    buttons.SetButtonVisible(RunButton::Stop, false);
    buttons.SetButtonVisible(RunButton::Continue, false);
    buttons.SetButtonVisible(RunButton::Search, true);
    buttons.SetButtonVisible(RunButton::Pause, true);
}

void SearchEngine::EndRun() {
    SetIdleButtons();
    RefreshStatusSummary();
}

void SearchEngine::RefreshStatusSummary() {
    const StatusCounts counts{
        magnetList_.RowCount(),          playList_.RowCount(),
        filteredLinks_.load(),           filteredResources_.load(),
        TickCount() - startTick_.load(),
    };
    const auto panes = StatusPaneTexts(counts);
    for (int pane = 0; pane < kStatusPaneCount; ++pane) {
        ports_.statusBar->SetPaneText(pane, panes[static_cast<std::size_t>(pane)]);
    }
}

void SearchEngine::SearchPage(const std::shared_ptr<const RunContext>& run, int page) {
    using PageRoutine = void (*)(SearchEngine&, const RunContext&, int);
    static constexpr std::pair<CheckBox, PageRoutine> kSites[] = {
        {CheckBox::Btrabbit, SearchBtrabbit},
        {CheckBox::Zzs, SearchZzs},
        {CheckBox::Dss, SearchDss},
        {CheckBox::Btbook, SearchBtbook},
    };
    for (const auto& [box, routine] : kSites) {
        if (Settings().IsChecked(box)) {
            StartWorker([self = shared_from_this(), run, routine, page] { routine(*self, *run, page); });
        }
    }
}

void SearchEngine::StartOnlinePlay(const std::shared_ptr<const RunContext>& run) {
    if (Settings().IsChecked(CheckBox::Play7dds)) {
        StartWorker([self = shared_from_this(), run] { Search7dds(*self, *run); });
    }
    if (Settings().IsChecked(CheckBox::PlayLexiang)) {
        StartWorker([self = shared_from_this(), run] { SearchLexiang(*self, *run); });
    }
}

void SearchEngine::StopSearch() {
    if (const auto control = CurrentDispatcher()) {
        control->Stop();
    }
    SetIdleButtons();
}

void SearchEngine::PauseSearch() {
    if (const auto control = CurrentDispatcher()) {
        control->Pause();
    }
    ports_.runButtons->SetButtonVisible(RunButton::Pause, false);
    ports_.runButtons->SetButtonVisible(RunButton::Continue, true);
}

void SearchEngine::ContinueSearch() {
    if (const auto control = CurrentDispatcher()) {
        control->Continue();
    }
    ports_.runButtons->SetButtonVisible(RunButton::Pause, true);
    ports_.runButtons->SetButtonVisible(RunButton::Continue, false);
}

std::shared_ptr<DispatcherControl> SearchEngine::CurrentDispatcher() const {
    std::lock_guard guard(stateMutex_);
    return dispatcher_;
}

std::shared_ptr<std::mutex> SearchEngine::CurrentRunLock() const {
    std::lock_guard guard(stateMutex_);
    return runLock_;
}

std::shared_ptr<const RunContext> SearchEngine::CurrentRun() const {
    std::lock_guard guard(stateMutex_);
    return currentRun_;
}

bool SearchEngine::StartWorker(std::function<void()> work) {
    return workers_.Start(std::move(work));
}

Text EmptyKeywordMessage() {
    return Utf8ToGbk("请输入电影名称再进行搜索");
}

Text EmptyKeywordCaption() {
    return Utf8ToGbk("信息：");
}

}  // namespace fw
