#pragma once

// What a search run writes besides its result lists: the status bar's five panes, the four run buttons
// and the tab to show. The engine calls these from worker threads (the dispatcher and the adapters); the
// window's implementations move each write onto the GUI thread without blocking the caller.

#include "util/types.h"

namespace fw {

inline constexpr int kStatusPaneCount = 5;

class StatusBar {
  public:
    virtual ~StatusBar() = default;
    // `pane` is 0 … 4. Called from any thread.
    virtual void SetPaneText(int pane, const Text& text) = 0;
};

enum class RunButton {
    Search,    // "搜索_按钮"
    Stop,      // "停止_按钮"
    Pause,     // "暂停_按钮"
    Continue,  // "继续_按钮"
};

class RunButtons {
  public:
    virtual ~RunButtons() = default;
    // Called from the GUI thread (stop, pause, continue) and from the dispatcher thread.
    virtual void SetButtonVisible(RunButton button, bool visible) = 0;
    virtual void SetButtonEnabled(RunButton button, bool enabled) = 0;
};

// The tab pages of the main window, in order.
enum class MainTab { Board = 0, Magnet = 1, Play = 2, Settings = 3, Sponsor = 4, ReleaseNotes = 5 };

class TabSwitcher {
  public:
    virtual ~TabSwitcher() = default;
    // Called from the dispatcher thread.
    virtual void ShowTab(MainTab tab) = 0;
};

}  // namespace fw
