#include "app/settings_store.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <ostream>

#include "app/ini_file.h"
#include "app/settings_keys.h"
#include "app/settings_path.h"
#include "support/temp_dir.h"
#include "util/code_page.h"

namespace fw {
namespace {

struct CorrectionCase {
    NumberBox box;
    const char* typedUtf8;
    const char* shown;
};

void PrintTo(const CorrectionCase& c, std::ostream* out) {
    static const char* const kBoxes[] = {"pages", "threads", "interval"};
    *out << kBoxes[static_cast<int>(c.box)] << " '" << c.typedUtf8 << "'";
}

class NumberBoxCorrection : public ::testing::TestWithParam<CorrectionCase> {};

TEST_P(NumberBoxCorrection, ShowsTheCorrectedText) {
    const CorrectionCase& c = GetParam();
    SettingsStore store({}, /*persist=*/false);
    EXPECT_EQ(store.SetBoxText(c.box, Utf8ToGbk(c.typedUtf8)), Utf8ToGbk(c.shown));
    EXPECT_EQ(store.BoxText(c.box), Utf8ToGbk(c.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, NumberBoxCorrection,
    ::testing::Values(
        CorrectionCase{NumberBox::Interval, "", "100"}, CorrectionCase{NumberBox::Interval, "5", "100"},
        CorrectionCase{NumberBox::Interval, "5000", "3000"},
        CorrectionCase{NumberBox::Interval, "500", "500"}, CorrectionCase{NumberBox::Interval, "-", "100"},
        CorrectionCase{NumberBox::Interval, "abc", "100"}, CorrectionCase{NumberBox::Threads, "", "1"},
        CorrectionCase{NumberBox::Threads, "21", "20"}, CorrectionCase{NumberBox::Threads, "0", "1"},
        CorrectionCase{NumberBox::Threads, "-", "1"}, CorrectionCase{NumberBox::Threads, "-7", "1"},
        CorrectionCase{NumberBox::Threads, "１５", "１５"},  // full-width digits count as 15
        CorrectionCase{NumberBox::Threads, "５０", "20"},
        CorrectionCase{NumberBox::Threads, "12abc", "12abc"},
        CorrectionCase{NumberBox::Threads, "99999999999999999999", "20"},
        CorrectionCase{NumberBox::Pages, "101", "100"}, CorrectionCase{NumberBox::Pages, "", "1"},
        CorrectionCase{NumberBox::Pages, "x", "1"}, CorrectionCase{NumberBox::Pages, "100", "100"}));

TEST(LeadingNumber, ReadsSignDigitsAndFraction) {
    EXPECT_EQ(LeadingNumber("  42abc"), 42);
    EXPECT_EQ(LeadingNumber("-3"), -3);
    EXPECT_EQ(LeadingNumber("12.75ms"), 12.75);
    EXPECT_EQ(LeadingNumber(Utf8ToGbk("３0")), 30);
    EXPECT_EQ(LeadingNumber("-"), 0);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber(std::string("\xA3", 1)), 0);  // a lead byte at the very end
}

class SettingsStoreFileTest : public ::testing::Test {
  protected:
    Text Stored(NumberBox box) { return ReadIniValue(file, KeyOf(box).section, KeyOf(box).key); }
    Text Stored(CheckBox box) { return ReadIniValue(file, KeyOf(box).section, KeyOf(box).key); }
    void Store(NumberBox box, const std::string& value) {
        WriteIniValue(file, KeyOf(box).section, KeyOf(box).key, value);
    }
    void Store(CheckBox box, const std::string& value) {
        WriteIniValue(file, KeyOf(box).section, KeyOf(box).key, value);
    }

    test::TempDir dir;
    std::filesystem::path file = dir.path() / "配置" / "Ferrowind" / "Configuration.ini";
};

TEST_F(SettingsStoreFileTest, MissingFileGivesTheDesignValuesAndWritesNothing) {
    SettingsStore store(file);
    store.LoadSettings();
    EXPECT_EQ(store.BoxText(NumberBox::Pages), "10");
    EXPECT_EQ(store.BoxText(NumberBox::Threads), "5");
    EXPECT_EQ(store.BoxText(NumberBox::Interval), "500");
    const bool design[] = {true, true, false, true, false, true, true, true, true};
    for (int i = 0; i < kCheckBoxCount; ++i) {
        EXPECT_EQ(store.IsChecked(static_cast<CheckBox>(i)), design[i]) << i;
    }
    EXPECT_TRUE(std::filesystem::is_directory(file.parent_path()));
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(SettingsStoreFileTest, LoadingCorrectsOnScreenButLeavesTheFileAlone) {
    std::filesystem::create_directories(file.parent_path());
    Store(NumberBox::Threads, "50");
    Store(NumberBox::Interval, "abc");
    Store(NumberBox::Pages, "");
    Store(CheckBox::Zzs, Utf8ToGbk("真"));
    Store(CheckBox::Dss, "1");
    Store(CheckBox::ExactMatch, Utf8ToGbk("假"));

    SettingsStore store(file);
    store.LoadSettings();
    EXPECT_EQ(store.BoxText(NumberBox::Threads), "20");
    EXPECT_EQ(store.BoxText(NumberBox::Interval), "100");
    EXPECT_EQ(store.BoxText(NumberBox::Pages), "10");  // an empty key keeps the design value
    EXPECT_TRUE(store.IsChecked(CheckBox::Zzs));       // even though the window disables that box
    EXPECT_FALSE(store.IsChecked(CheckBox::Dss));      // anything but "真" unchecks
    EXPECT_FALSE(store.IsChecked(CheckBox::ExactMatch));
    EXPECT_TRUE(store.IsChecked(CheckBox::Btbook));  // missing key: design value
    EXPECT_FALSE(store.SettingsLoading());

    EXPECT_EQ(Stored(NumberBox::Threads), "50");
    EXPECT_EQ(Stored(NumberBox::Interval), "abc");
}

TEST_F(SettingsStoreFileTest, ChangesAreWrittenAtOnceAsTheirCorrectedNumbers) {
    SettingsStore store(file);
    store.LoadSettings();
    store.SetBoxText(NumberBox::Interval, "5000");
    EXPECT_EQ(Stored(NumberBox::Interval), "3000");
    store.SetBoxText(NumberBox::Threads, "12abc");
    EXPECT_EQ(Stored(NumberBox::Threads), "12");
    store.SetBoxText(NumberBox::Pages, "-");
    EXPECT_EQ(Stored(NumberBox::Pages), "1");
    store.ClickCheckBox(CheckBox::KeepNewestInView, true);
    store.ClickCheckBox(CheckBox::Btrabbit, false);
    EXPECT_EQ(Stored(CheckBox::KeepNewestInView), Utf8ToGbk("真"));
    EXPECT_EQ(Stored(CheckBox::Btrabbit), Utf8ToGbk("假"));

    SettingsStore reloaded(file);
    reloaded.LoadSettings();
    EXPECT_EQ(reloaded.BoxText(NumberBox::Interval), "3000");
    EXPECT_EQ(reloaded.Number(NumberBox::Threads), 12);
    EXPECT_TRUE(reloaded.IsChecked(CheckBox::KeepNewestInView));
    EXPECT_FALSE(reloaded.IsChecked(CheckBox::Btrabbit));
}

TEST_F(SettingsStoreFileTest, AStoreThatDoesNotPersistNeverWrites) {
    SettingsStore store(file, /*persist=*/false);
    store.LoadSettings();
    store.SetBoxText(NumberBox::Pages, "3");
    store.ClickCheckBox(CheckBox::Dss, false);
    EXPECT_FALSE(std::filesystem::exists(file.parent_path()));
    EXPECT_EQ(store.Number(NumberBox::Pages), 3);
    EXPECT_FALSE(store.IsChecked(CheckBox::Dss));
}

class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = getenv(name)) {
            old_ = old;
            hadOld_ = true;
        }
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnvironment() { hadOld_ ? setenv(name_, old_.c_str(), 1) : unsetenv(name_); }

  private:
    const char* name_;
    std::string old_;
    bool hadOld_ = false;
};

TEST(SettingsPath, LivesUnderXdgConfigHomeElseUnderHomeConfig) {
    {
        ScopedEnvironment xdg("XDG_CONFIG_HOME", "/tmp/xdg-place");
        EXPECT_EQ(SettingsIniPath(),
                  std::filesystem::path("/tmp/xdg-place/配置/Ferrowind/Configuration.ini"));
    }
    ScopedEnvironment noXdg("XDG_CONFIG_HOME", nullptr);
    ScopedEnvironment home("HOME", "/tmp/some-home");
    EXPECT_EQ(SettingsIniPath(),
              std::filesystem::path("/tmp/some-home/.config/配置/Ferrowind/Configuration.ini"));
    ScopedEnvironment relative("XDG_CONFIG_HOME", "relative/dir");
    EXPECT_EQ(SettingsIniPath(),
              std::filesystem::path("/tmp/some-home/.config/配置/Ferrowind/Configuration.ini"));
}

}  // namespace
}  // namespace fw
