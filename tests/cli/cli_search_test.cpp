#include <gtest/gtest.h>

#include <ostream>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "support/fixture_sites.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace fw {
namespace {

using test::FixtureOptions;
using test::FixtureSite;
using test::FixtureSites;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t begin = 0;
    while (true) {
        const std::size_t tab = line.find('\t', begin);
        fields.push_back(line.substr(begin, tab - begin));
        if (tab == std::string::npos) {
            return fields;
        }
        begin = tab + 1;
    }
}

std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

class CliSearch : public ::testing::Test {
  protected:
    void StartSites(FixtureOptions options, const std::string& settingsUtf8 = "") {
        sites = std::make_unique<FixtureSites>(options);
        sites->WriteSettingsFile(IniPath(), settingsUtf8);
    }
    std::filesystem::path IniPath() const {
        return config.path() / "配置" / "Ferrowind" / "Configuration.ini";
    }
    test::ProcessResult Cli(std::vector<std::string> arguments) {
        return test::RunProcess(FW_CLI_PATH, arguments, {"XDG_CONFIG_HOME=" + config.path().string()});
    }
    int RequestCount(FixtureSite site) const { return static_cast<int>(sites->Requests(site).size()); }

    test::TempDir config;
    std::unique_ptr<FixtureSites> sites;
};

TEST_F(CliSearch, PrintsBothListsAndTheStatusLineAsTheWindowWouldShowThem) {
    FixtureOptions options;
    options.resultsPerPage = 2;
    options.playHits = 1;
    options.playLinksPerHit = 2;
    StartSites(options);
    const auto result = Cli({"search", "--pages", "1", "--sites", "dss", "--play", "7dds", "abc"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");  // no progress: standard error is not a terminal

    const auto lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 5u) << result.out;
    const std::string link1 = FixtureSites::MagnetLinkOnPage(FixtureSite::Dss, options, "abc", 1, 1);
    EXPECT_EQ(lines[0], "M\t1\tabc.2026.1080p.第1页.1.国语中字\t" + link1 + "\tDSS\t2.1 GB\t994\t2026-11-11");
    EXPECT_EQ(Fields(lines[1])[1], "2");
    const std::string base = sites->Address(FixtureSite::Play7dds) + "/";
    EXPECT_EQ(lines[2], "P\t1\tabc 第1部\t第01集\t7DDS\t" + base + "vod/play/1-1.html");
    EXPECT_EQ(lines[3], "P\t2\tabc 第1部\t第02集\t7DDS\t" + base + "vod/play/1-2.html");
    const std::string counts =
        "S\t 磁力链接： 2  条\t 在线播放： 2  条\t 过滤链接： 0  条\t 过滤资源： 0  条\t 搜索耗时： ";
    ASSERT_EQ(lines[4].substr(0, counts.size()), counts);
    const std::string elapsed = lines[4].substr(counts.size());
    ASSERT_GE(elapsed.size(), 5u);
    EXPECT_EQ(elapsed.substr(elapsed.size() - 5), "  秒");
    const std::string seconds = elapsed.substr(0, elapsed.size() - 5);
    EXPECT_EQ(seconds.find_first_not_of("0123456789."), std::string::npos) << seconds;
    EXPECT_NE(seconds.back(), '.');
    EXPECT_TRUE(seconds.find('.') == std::string::npos || seconds.size() - seconds.find('.') <= 3) << seconds;
}

TEST_F(CliSearch, JsonHoldsTheSameRowsAsOneObject) {
    FixtureOptions options;
    options.resultsPerPage = 3;
    StartSites(options);
    const auto result =
        Cli({"search", "--json", "--pages", "1", "--sites", "btbook", "--play", "lexiang", "流浪"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto document = nlohmann::json::parse(result.out);
    ASSERT_EQ(document["magnet"].size(), 3u);
    EXPECT_EQ(document["magnet"][0]["id"], 1);
    EXPECT_EQ(document["magnet"][2]["name"], "流浪.2026.1080p.第1页.3.国语中字");
    EXPECT_EQ(document["magnet"][0]["site"], "Btbook");
    EXPECT_EQ(document["play"].size(), 12u);
    EXPECT_EQ(document["play"][11]["id"], 12);
    EXPECT_EQ(document["play"][0]["site"], "乐享电影网");
    ASSERT_EQ(document["status"].size(), 5u);
    EXPECT_EQ(document["status"][1], " 在线播放： 12  条");
}

TEST_F(CliSearch, EscapesBackslashesAndTabsInsideFields) {
    FixtureOptions options;
    options.resultsPerPage = 1;
    StartSites(options);
    const auto result = Cli({"search", "--pages", "1", "--sites", "btrabbit", "--play", "", "a\\b\tc"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 2u) << result.out;
    EXPECT_EQ(Fields(lines[0])[2], "a\\\\b\\tc.2026.1080p.第1页.1.国语中字");
    EXPECT_EQ(Fields(lines[0]).size(), 8u);
}

TEST_F(CliSearch, OptionsOverrideTheSettingsFileWhichIsReadButNeverWritten) {
    StartSites({},
               "[软件设置]\r\n搜索页数=2\r\n间隔时间=100\r\n[磁力站点]\r\nBtrabbit=假\r\nDSS=假\r\nBtbook="
               "假\r\nZZS=真\r\n"
               "[在线站点]\r\n手机看片=假\r\n乐享电影=假\r\n");
    const std::string before = ReadAll(IniPath());
    auto result = Cli({"search", "abc"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(RequestCount(FixtureSite::Zzs), 2);  // the file's two pages and its one site
    EXPECT_EQ(RequestCount(FixtureSite::Btrabbit), 0);
    EXPECT_EQ(RequestCount(FixtureSite::Play7dds), 0);
    EXPECT_EQ(Lines(result.out).size(), 41u);

    result = Cli({"search", "--pages", "0", "--sites", "btrabbit,dss", "--interval", "5", "abc"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(RequestCount(FixtureSite::Zzs), 2);
    EXPECT_EQ(RequestCount(FixtureSite::Btrabbit), 1);  // 0 pages are corrected to 1, as the box does
    EXPECT_EQ(RequestCount(FixtureSite::Dss), 1);
    EXPECT_EQ(ReadAll(IniPath()), before);
}

TEST_F(CliSearch, FiltersFollowTheirOptions) {
    FixtureOptions options;
    options.duplicates = true;
    options.capitals = true;
    options.resultsPerPage = 4;
    StartSites(options);
    auto result = Cli({"search", "--pages", "1", "--sites", "btrabbit,btbook", "--play", "", "abc"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto lines = Lines(result.out);
    // The first site lists its two names with the keyword as typed and drops two in capitals; the second
    // site's copies of the two listed links are duplicates, and its two others lack the keyword again.
    EXPECT_EQ(lines.size(), 3u);
    EXPECT_NE(lines.back().find(" 过滤链接： 2  条\t 过滤资源： 4  条"), std::string::npos) << lines.back();

    result = Cli({"search", "--pages", "1", "--sites", "btrabbit,btbook", "--play", "", "--no-dedupe",
                  "--no-exact", "abc"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(Lines(result.out).size(), 9u);
}

struct UsageCase {
    std::vector<std::string> arguments;
    int exitCode;
};

void PrintTo(const UsageCase& c, std::ostream* out) {
    *out << "ferrowind-cli";
    for (const std::string& argument : c.arguments) {
        *out << " '" << argument << "'";
    }
}

class CliUsage : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CliUsage, ReportsUsageErrorsWithStatusTwo) {
    const auto result = test::RunProcess(FW_CLI_PATH, GetParam().arguments, {"XDG_CONFIG_HOME=/nonexistent"});
    EXPECT_EQ(result.exitCode, GetParam().exitCode);
    if (GetParam().exitCode == 2) {
        EXPECT_NE(result.err.find("ferrowind-cli: "), std::string::npos);
        EXPECT_EQ(result.out, "");
    } else {
        EXPECT_NE(result.out.find("Usage:"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CliUsage,
    ::testing::Values(UsageCase{{}, 2}, UsageCase{{"frobnicate"}, 2}, UsageCase{{"search"}, 2},
                      UsageCase{{"search", ""}, 2}, UsageCase{{"search", "a", "b"}, 2},
                      UsageCase{{"search", "--sites", "btrabbit,kickass", "abc"}, 2},
                      UsageCase{{"search", "--play", "netflix", "abc"}, 2},
                      UsageCase{{"search", "--pages"}, 2}, UsageCase{{"search", "--bogus", "abc"}, 2},
                      UsageCase{{"board", "extra"}, 2}, UsageCase{{"board", "--pages", "3"}, 2},
                      UsageCase{{"--help"}, 0}));

class CliHostileSite : public CliSearch, public ::testing::WithParamInterface<const char*> {};

TEST_P(CliHostileSite, EndsAndListsTheHealthySitesRows) {
    FixtureOptions options;
    options.resultsPerPage = 5;
    options.hostile[FixtureSite::Dss] = *FixtureSites::HostileNamed(GetParam());
    options.hostile[FixtureSite::Lexiang] = *FixtureSites::HostileNamed(GetParam());
    StartSites(options);
    const auto result = Cli({"search", "--pages", "2", "--interval", "100", "--sites", "btrabbit,dss",
                             "--play", "7dds,lexiang", "abc"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    int btrabbitRows = 0;
    int playRows = 0;
    for (const auto& line : Lines(result.out)) {
        const auto fields = Fields(line);
        btrabbitRows += fields[0] == "M" && fields[4] == "Btrabbit" ? 1 : 0;
        playRows += fields[0] == "P" && fields[4] == "7DDS" ? 1 : 0;
    }
    EXPECT_EQ(btrabbitRows, 10);
    EXPECT_EQ(playRows, 12);
}

INSTANTIATE_TEST_SUITE_P(Modes, CliHostileSite,
                         ::testing::Values("empty-body", "binary", "truncated", "huge", "endless", "many",
                                           "invalid-utf8"));

}  // namespace
}  // namespace fw
