#pragma once

// The settings page without widgets: the texts of the three number boxes and the states of the nine
// check boxes, loaded from the INI file at start and written back one key at a time as the user changes
// them. The window mirrors its widgets into a store; the command line fills one from the file and its
// options. Thread-safe: the GUI thread changes values while workers read them.

#include <array>
#include <filesystem>
#include <mutex>
#include <string_view>

#include "app/settings_view.h"
#include "util/types.h"

namespace fw {

// The decimal number at the start of `text` (blanks skipped, an optional sign, ASCII or full-width
// digits, an optional fraction); 0 when there is none.
double LeadingNumber(std::string_view text);

// The text a number box shows after its change handler: above `high` becomes `high`, then below `low`
// becomes `low`; anything else stays as typed.
Text CorrectNumberText(std::string_view text, int low, int high);

struct NumberBoxRange {
    int low;
    int high;
};
NumberBoxRange RangeOf(NumberBox box);

class SettingsStore final : public SettingsView {
  public:
    // With `persist` off nothing is ever written (the command line reads the file but never writes it).
    explicit SettingsStore(std::filesystem::path iniPath, bool persist = true);

    // Reads the twelve keys into the boxes; a missing file or an empty key keeps the design value.
    void LoadSettings();

    // The change handler of a number box, run for every new text (typed or set by the program): brings
    // the value within bounds and, unless settings are loading, writes it. Returns the text now shown.
    Text SetBoxText(NumberBox box, std::string_view text);

    // The user's click on a check box: the new state is kept and written.
    void ClickCheckBox(CheckBox box, bool checked);

    // Sets a check box without writing (as the program does while loading, or the command line's options).
    void SetChecked(CheckBox box, bool checked);

    Text BoxText(NumberBox box) const;
    bool SettingsLoading() const;

    int Number(NumberBox box) const override;
    bool IsChecked(CheckBox box) const override;

    const std::filesystem::path& IniPath() const { return iniPath_; }

  private:
    Text ApplyBoxText(NumberBox box, std::string_view text);  // with mutex_ held
    void WriteKey(std::string_view section, std::string_view key, std::string_view value);

    const std::filesystem::path iniPath_;
    const bool persist_;
    mutable std::mutex mutex_;
    bool settingsLoading_ = false;
    std::array<Text, kNumberBoxCount> boxTexts_;
    std::array<bool, kCheckBoxCount> checked_;
};

}  // namespace fw
