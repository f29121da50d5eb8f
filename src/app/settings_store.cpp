#include "app/settings_store.h"

#include <cmath>
#include <limits>
#include <optional>
#include <utility>
#include <variant>

#include "app/ini_file.h"
#include "app/settings_keys.h"
#include "app/settings_path.h"

namespace fw {
namespace {

// GBK full-width digits are 0xA3 0xB0 … 0xA3 0xB9.
std::optional<int> DigitAt(std::string_view text, std::size_t& i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= '0' && byte <= '9') {
        ++i;
        return byte - '0';
    }
    if (byte == 0xA3 && i + 1 < text.size()) {
        const auto second = static_cast<unsigned char>(text[i + 1]);
        if (second >= 0xB0 && second <= 0xB9) {
            i += 2;
            return second - 0xB0;
        }
    }
    return std::nullopt;
}

constexpr std::array<bool, kCheckBoxCount> kDesignChecks = {
    true,   // exact match
    true,   // filter links
    false,  // keep newest in view
    true,   // Btrabbit
    false,  // ZZS
    true,   // DSS
    true,   // Btbook
    true,   // 7DDS
    true,   // 乐享电影网
};

// Pages, threads, interval.
const std::array<Text, kNumberBoxCount> kDesignTexts = {"10", "5", "500"};

int TruncatedNumber(std::string_view text) {
    const double value = std::trunc(LeadingNumber(text));
    if (value >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    if (value <= static_cast<double>(std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(value);
}

}  // namespace

double LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    double value = 0;
    bool anyDigit = false;
    while (i < text.size()) {
        const std::optional<int> digit = DigitAt(text, i);
        if (!digit) {
            break;
        }
        value = value * 10 + *digit;
        anyDigit = true;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        double scale = 0.1;
        while (i < text.size()) {
            const std::optional<int> digit = DigitAt(text, i);
            if (!digit) {
                break;
            }
            value += *digit * scale;
            scale /= 10;
            anyDigit = true;
        }
    }
    if (!anyDigit) {
        return 0;
    }
    return negative ? -value : value;
}

Text CorrectNumberText(std::string_view text, int low, int high) {
    Text shown(text);
    if (LeadingNumber(shown) > high) {
        shown = std::to_string(high);
    }
    if (LeadingNumber(shown) < low) {
        shown = std::to_string(low);
    }
    return shown;
}

NumberBoxRange RangeOf(NumberBox box) {
    switch (box) {
        case NumberBox::Pages:
            return {1, 100};
        case NumberBox::Threads:
            return {1, 20};
        case NumberBox::Interval:
            return {100, 3000};
    }
    return {0, 0};
}

SettingsStore::SettingsStore(std::filesystem::path iniPath, bool persist)
    : iniPath_(std::move(iniPath)), persist_(persist), boxTexts_(kDesignTexts), checked_(kDesignChecks) {}

void SettingsStore::LoadSettings() {
    if (persist_) {
        EnsureSettingsFolder(iniPath_);
    }
    std::lock_guard guard(mutex_);
    settingsLoading_ = true;
    std::error_code error;
    if (!iniPath_.empty() && std::filesystem::exists(iniPath_, error)) {
        // All twelve keys are read first, then applied, in the order of the file's key table.
        using Control = std::variant<NumberBox, CheckBox>;
        const std::array<Control, 12> order = {
            NumberBox::Threads,    NumberBox::Interval,        NumberBox::Pages,   CheckBox::ExactMatch,
            CheckBox::FilterLinks, CheckBox::KeepNewestInView, CheckBox::Btrabbit, CheckBox::Zzs,
            CheckBox::Dss,         CheckBox::Btbook,           CheckBox::Play7dds, CheckBox::PlayLexiang,
        };
        std::array<Text, 12> values;
        for (std::size_t i = 0; i < order.size(); ++i) {
            const SettingKey& key =
                std::visit([](auto control) -> const SettingKey& { return KeyOf(control); }, order[i]);
            values[i] = ReadIniValue(iniPath_, key.section, key.key);
        }
        for (std::size_t i = 0; i < order.size(); ++i) {
            if (values[i].empty()) {
                continue;
            }
            if (const auto* box = std::get_if<NumberBox>(&order[i])) {
                ApplyBoxText(*box, values[i]);
            } else {
                checked_[static_cast<std::size_t>(std::get<CheckBox>(order[i]))] =
                    values[i] == CheckedValue();
            }
        }
    }
    settingsLoading_ = false;
}

Text SettingsStore::ApplyBoxText(NumberBox box, std::string_view text) {
    const NumberBoxRange range = RangeOf(box);
    Text& shown = boxTexts_[static_cast<std::size_t>(box)];
    shown = CorrectNumberText(text, range.low, range.high);
    return shown;
}

Text SettingsStore::SetBoxText(NumberBox box, std::string_view text) {
    Text shown;
    bool write = false;
    {
        std::lock_guard guard(mutex_);
        shown = ApplyBoxText(box, text);
        write = !settingsLoading_;
    }
    if (write) {
        const SettingKey& key = KeyOf(box);
        WriteKey(key.section, key.key, std::to_string(TruncatedNumber(shown)));
    }
    return shown;
}

void SettingsStore::ClickCheckBox(CheckBox box, bool checked) {
    SetChecked(box, checked);
    const SettingKey& key = KeyOf(box);
    WriteKey(key.section, key.key, checked ? CheckedValue() : UncheckedValue());
}

void SettingsStore::SetChecked(CheckBox box, bool checked) {
    std::lock_guard guard(mutex_);
    checked_[static_cast<std::size_t>(box)] = checked;
}

void SettingsStore::WriteKey(std::string_view section, std::string_view key, std::string_view value) {
    if (!persist_ || iniPath_.empty()) {
        return;
    }
    EnsureSettingsFolder(iniPath_);
    WriteIniValue(iniPath_, section, key, value);  // a failed write leaves the change on screen only
}

Text SettingsStore::BoxText(NumberBox box) const {
    std::lock_guard guard(mutex_);
    return boxTexts_[static_cast<std::size_t>(box)];
}

bool SettingsStore::SettingsLoading() const {
    std::lock_guard guard(mutex_);
    return settingsLoading_;
}

int SettingsStore::Number(NumberBox box) const {
    return TruncatedNumber(BoxText(box));
}

bool SettingsStore::IsChecked(CheckBox box) const {
    std::lock_guard guard(mutex_);
    return checked_[static_cast<std::size_t>(box)];
}

}  // namespace fw
