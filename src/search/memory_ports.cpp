#include "search/memory_ports.h"

#include "search/status_summary.h"

namespace fw {

MemoryStatusBar::MemoryStatusBar() : panes_(InitialStatusPanes()) {}

void MemoryStatusBar::SetPaneText(int pane, const Text& text) {
    if (pane < 0 || pane >= kStatusPaneCount) {
        return;
    }
    std::lock_guard guard(mutex_);
    panes_[static_cast<std::size_t>(pane)] = text;
    ++writeCount_;
}

std::array<Text, kStatusPaneCount> MemoryStatusBar::Panes() const {
    std::lock_guard guard(mutex_);
    return panes_;
}

int MemoryStatusBar::WriteCount() const {
    std::lock_guard guard(mutex_);
    return writeCount_;
}

MemoryRunButtons::MemoryRunButtons()
    : states_{{
          {true, true},   // search
          {false, true},  // stop
          {true, false},  // pause: shown, disabled
          {false, true},  // continue
      }} {}

void MemoryRunButtons::SetButtonVisible(RunButton button, bool visible) {
    std::lock_guard guard(mutex_);
    states_[static_cast<std::size_t>(button)].visible = visible;
}

void MemoryRunButtons::SetButtonEnabled(RunButton button, bool enabled) {
    std::lock_guard guard(mutex_);
    states_[static_cast<std::size_t>(button)].enabled = enabled;
}

RunButtonState MemoryRunButtons::State(RunButton button) const {
    std::lock_guard guard(mutex_);
    return states_[static_cast<std::size_t>(button)];
}

void MemoryTabSwitcher::ShowTab(MainTab tab) {
    std::lock_guard guard(mutex_);
    current_ = tab;
}

MainTab MemoryTabSwitcher::Current() const {
    std::lock_guard guard(mutex_);
    return current_;
}

}  // namespace fw
