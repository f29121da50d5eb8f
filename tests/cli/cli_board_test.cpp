#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>

#include "support/fixture_sites.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace fw {
namespace {

using test::FixtureOptions;
using test::FixtureSite;
using test::FixtureSites;

TEST(CliBoard, PrintsOneLinePerSlotWritten) {
    test::TempDir config;
    FixtureOptions options;
    options.boardEntries = 12;
    FixtureSites sites(options);
    sites.WriteSettingsFile(config.path() / "配置" / "Ferrowind" / "Configuration.ini");
    const std::vector<std::string> environment = {"XDG_CONFIG_HOME=" + config.path().string()};

    auto result = test::RunProcess(FW_CLI_PATH, {"board"}, environment);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string poster1 = std::to_string(FixtureSites::PosterPng(1).size());
    const std::string poster2 = std::to_string(FixtureSites::PosterPng(2).size());
    EXPECT_EQ(result.out.substr(0, result.out.find('\n', result.out.find('\n') + 1) + 1),
              "B\t1\t热映电影1\t上映时间：2026-12-11\t8.1\t张三,李四\\n\t" + poster1 +
                  "\n"
                  "B\t2\t热映电影2\t上映时间：2026-12-12\t9.2\t张三丰\t" +
                  poster2 + "\n");
    EXPECT_NE(result.out.find("\nB\t11\t热映电影10\t"), std::string::npos);
    EXPECT_EQ(result.out.find("热映电影11"), std::string::npos);
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 10);

    result = test::RunProcess(FW_CLI_PATH, {"board", "--json"}, environment);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto document = nlohmann::json::parse(result.out);
    ASSERT_EQ(document["board"].size(), 10u);
    EXPECT_EQ(document["board"][5]["slot"], 7);
    EXPECT_EQ(document["board"][5]["name"], "热映电影6");
    EXPECT_EQ(document["board"][3]["cast"], "无");
    EXPECT_EQ(document["board"][0]["posterBytes"], FixtureSites::PosterPng(1).size());
}

TEST(CliBoard, AnUnreachableBoardPrintsNothingAndSucceeds) {
    test::TempDir config;
    const auto ini = config.path() / "配置" / "Ferrowind" / "Configuration.ini";
    std::filesystem::create_directories(ini.parent_path());
    std::ofstream(ini, std::ios::binary)
        << "[\xD5\xBE\xB5\xE3\xB5\xD8\xD6\xB7]\r\n"                    // 站点地址 in GBK
        << "\xD4\xBA\xCF\xDF\xC8\xC8\xD3\xB3=http://127.0.0.1:1\r\n";  // 院线热映
    const auto result =
        test::RunProcess(FW_CLI_PATH, {"board"}, {"XDG_CONFIG_HOME=" + config.path().string()});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "");
}

}  // namespace
}  // namespace fw
