#pragma once

// Settings for engine tests: any number (no box correction, so tests may use short intervals) and any
// check box, changeable while a run reads them.

#include <array>
#include <atomic>

#include "app/settings_view.h"

namespace fw::test {

class FakeSettings final : public SettingsView {
  public:
    FakeSettings();  // the window's design values, with an interval of 100 ms
    void SetNumber(NumberBox box, int value) { numbers_[static_cast<std::size_t>(box)].store(value); }
    void SetChecked(CheckBox box, bool checked) { checks_[static_cast<std::size_t>(box)].store(checked); }
    // Unchecks every magnet and online-play site.
    void UncheckAllSites();

    int Number(NumberBox box) const override { return numbers_[static_cast<std::size_t>(box)].load(); }
    bool IsChecked(CheckBox box) const override { return checks_[static_cast<std::size_t>(box)].load(); }

  private:
    std::array<std::atomic<int>, kNumberBoxCount> numbers_;
    std::array<std::atomic<bool>, kCheckBoxCount> checks_;
};

}  // namespace fw::test
