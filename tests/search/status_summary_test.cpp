#include "search/status_summary.h"

#include <gtest/gtest.h>

#include "util/code_page.h"

namespace fw {
namespace {

TEST(ElapsedSecondsText, RoundsHalfAwayFromZeroToTwoPlacesWithoutTrailingZeros) {
    const std::pair<std::uint32_t, const char*> cases[] = {
        {12345, "12.35"},
        {12344, "12.34"},
        {5000, "5"},
        {100, "0.1"},
        {0, "0"},
        {4, "0"},
        {5, "0.01"},
        {50, "0.05"},
        {995, "1"},
        {1050, "1.05"},
        {4294967295u, "4294967.3"},
    };
    for (const auto& [ms, text] : cases) {
        EXPECT_EQ(ElapsedSecondsText(ms), text) << ms;
    }
}

TEST(StatusPaneTexts, WriteCountsAndUnitsAfterTwoBlanks) {
    const auto panes = StatusPaneTexts({42, 7, 3, 0, 1234});
    EXPECT_EQ(GbkToUtf8(panes[0]), " 磁力链接： 42  条");
    EXPECT_EQ(GbkToUtf8(panes[1]), " 在线播放： 7  条");
    EXPECT_EQ(GbkToUtf8(panes[2]), " 过滤链接： 3  条");
    EXPECT_EQ(GbkToUtf8(panes[3]), " 过滤资源： 0  条");
    EXPECT_EQ(GbkToUtf8(panes[4]), " 搜索耗时： 1.23  秒");
}

TEST(StatusPaneTexts, InitialTextsSayNothingYet) {
    const auto panes = InitialStatusPanes();
    EXPECT_EQ(GbkToUtf8(panes[0]), " 磁力链接： 无");
    EXPECT_EQ(GbkToUtf8(panes[4]), " 搜索耗时： 无");
}

}  // namespace
}  // namespace fw
