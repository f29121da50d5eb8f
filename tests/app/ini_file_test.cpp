#include "app/ini_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/temp_dir.h"
#include "util/code_page.h"

namespace fw {
namespace {

std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteAll(const std::filesystem::path& file, const std::string& content) {
    std::ofstream(file, std::ios::binary) << content;
}

class IniFileTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    std::filesystem::path file = dir.path() / "Configuration.ini";
};

TEST_F(IniFileTest, ReadsKeysIgnoringAsciiCaseAndSurroundingBlanks) {
    WriteAll(file,
             "; comment\r\n[Other]\r\nKey=wrong\r\n[  软件设置 ]\r\n  Threads  =  7  \r\nBTRABBIT=真\r\n");
    const Text section = Utf8ToGbk("软件设置");
    WriteAll(file, Utf8ToGbk(ReadAll(file)));
    EXPECT_EQ(ReadIniValue(file, section, "threads"), "7");
    EXPECT_EQ(ReadIniValue(file, section, "Btrabbit"), Utf8ToGbk("真"));
    EXPECT_EQ(ReadIniValue(file, "other", "KEY"), "wrong");
    EXPECT_EQ(ReadIniValue(file, section, "Key"), "");
    EXPECT_EQ(ReadIniValue(file, "missing", "Key"), "");
    EXPECT_EQ(ReadIniValue(dir.path() / "absent.ini", section, "threads"), "");
}

TEST_F(IniFileTest, WritingAKeyLeavesEveryOtherLineAsItWas) {
    const std::string before = "; keep me\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\nstray line\r\n";
    WriteAll(file, before);
    ASSERT_TRUE(WriteIniValue(file, "a", "X", "9"));
    EXPECT_EQ(ReadAll(file), "; keep me\r\n[A]\r\nX=9\r\n\r\n[B]\r\ny=2\r\nstray line\r\n");
}

TEST_F(IniFileTest, MissingKeyGoesAtTheEndOfItsSectionAndMissingSectionAtTheEndOfTheFile) {
    WriteAll(file, "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    ASSERT_TRUE(WriteIniValue(file, "A", "z", "3"));
    ASSERT_TRUE(WriteIniValue(file, "C", "w", "4"));
    EXPECT_EQ(ReadAll(file), "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n[C]\r\nw=4\r\n");
}

TEST_F(IniFileTest, CreatesTheFileAndLeavesNoTemporaryBehind) {
    ASSERT_TRUE(WriteIniValue(file, Utf8ToGbk("在线站点"), Utf8ToGbk("手机看片"), Utf8ToGbk("假")));
    EXPECT_EQ(ReadIniValue(file, Utf8ToGbk("在线站点"), Utf8ToGbk("手机看片")), Utf8ToGbk("假"));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST_F(IniFileTest, AWriteThatCannotHappenLeavesTheFileIntact) {
    WriteAll(file, "[A]\r\nx=1\r\n");
    EXPECT_FALSE(WriteIniValue(dir.path() / "no-such-folder" / "f.ini", "A", "x", "2"));
    EXPECT_EQ(ReadAll(file), "[A]\r\nx=1\r\n");
}

}  // namespace
}  // namespace fw
