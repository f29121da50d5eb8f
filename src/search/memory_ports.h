#pragma once

// In-memory stand-ins for the window's status bar, run buttons and tabs, for the command line and the
// tests. Thread-safe.

#include <array>
#include <mutex>
#include <vector>

#include "search/run_ports.h"

namespace fw {

class MemoryStatusBar final : public StatusBar {
  public:
    MemoryStatusBar();
    void SetPaneText(int pane, const Text& text) override;
    std::array<Text, kStatusPaneCount> Panes() const;
    int WriteCount() const;

  private:
    mutable std::mutex mutex_;
    std::array<Text, kStatusPaneCount> panes_;
    int writeCount_ = 0;
};

struct RunButtonState {
    bool visible;
    bool enabled;
};

class MemoryRunButtons final : public RunButtons {
  public:
    MemoryRunButtons();  // as the main window is designed: the idle state
    void SetButtonVisible(RunButton button, bool visible) override;
    void SetButtonEnabled(RunButton button, bool enabled) override;
    RunButtonState State(RunButton button) const;

  private:
    mutable std::mutex mutex_;
    std::array<RunButtonState, 4> states_;
};

class MemoryTabSwitcher final : public TabSwitcher {
  public:
    void ShowTab(MainTab tab) override;
    MainTab Current() const;

  private:
    mutable std::mutex mutex_;
    MainTab current_ = MainTab::Board;
};

}  // namespace fw
