#include "search/result_list.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "search/list_commands.h"

namespace fw {
namespace {

TEST(ResultList, FindsTheFirstRowWhoseIndexedColumnEqualsTheTextExactly) {
    ResultList list(3, {2});
    list.AppendRow({"1", "a", "magnet:X"});
    list.AppendRow({"2", "b", "magnet:Y"});
    list.AppendRow({"3", "c", "magnet:X"});
    EXPECT_EQ(list.FindRow(2, "magnet:X"), 0);
    EXPECT_EQ(list.FindRow(2, "magnet:Y"), 1);
    EXPECT_EQ(list.FindRow(2, "magnet:x"), -1);   // letter case counts
    EXPECT_EQ(list.FindRow(2, "magnet:X2"), -1);  // whole text only
    EXPECT_EQ(list.FindRow(2, "magnet:"), -1);
    EXPECT_EQ(list.FindRow(1, "c"), 2);  // an unindexed column is searched too
    EXPECT_EQ(list.FindRow(7, "c"), -1);
}

TEST(ResultList, TheIndexFollowsCellChangesAndEmptying) {
    ResultList list(3, {2});
    const int row = list.AppendRow("1");
    EXPECT_EQ(list.FindRow(2, ""), row);
    list.SetCell(row, 2, "link");
    EXPECT_EQ(list.FindRow(2, ""), -1);
    EXPECT_EQ(list.FindRow(2, "link"), row);
    list.AppendRow({"2", "", "link"});
    list.SetCell(0, 2, "other");
    EXPECT_EQ(list.FindRow(2, "link"), 1);
    list.DeleteAllRows();
    EXPECT_EQ(list.RowCount(), 0);
    EXPECT_EQ(list.FindRow(2, "link"), -1);
    list.SetCell(5, 1, "late");  // a late worker's row is gone: nothing happens
    list.ScrollIntoView(5);
    EXPECT_EQ(list.RowCount(), 0);
    EXPECT_EQ(list.LastScrollRequest(), -1);
}

TEST(ResultList, RowsAppendedFromManyThreadsAllArriveWhole) {
    ResultList list(4, {2});
    constexpr int kThreads = 8;
    constexpr int kRowsEach = 500;
    std::vector<std::thread> threads;
    std::atomic<bool> go{false};
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            while (!go.load()) {
            }
            for (int i = 0; i < kRowsEach; ++i) {
                const std::string key = std::to_string(t) + "-" + std::to_string(i);
                list.AppendRow({key, key, key, key});
                list.FindRow(2, key);
                list.RowCount();
            }
        });
    }
    go = true;
    for (auto& thread : threads) {
        thread.join();
    }
    ASSERT_EQ(list.RowCount(), kThreads * kRowsEach);
    for (const auto& row : list.Rows()) {
        ASSERT_EQ(row.size(), 4u);
        EXPECT_EQ(row[0], row[3]);
        EXPECT_EQ(list.FindRow(2, row[2]), list.FindRow(0, row[0]));
    }
}

TEST(ResultList, TellsItsListenerAboutEveryChange) {
    ResultList list(2);
    std::vector<ListChange::Kind> kinds;
    list.SetListener([&](const ListChange& change) { kinds.push_back(change.kind); });
    list.AppendRow("1");
    list.SetCell(0, 1, "x");
    list.ScrollIntoView(0);
    list.DeleteAllRows();
    EXPECT_EQ(kinds,
              (std::vector<ListChange::Kind>{ListChange::Kind::RowsAppended, ListChange::Kind::CellChanged,
                                             ListChange::Kind::ScrollRequested, ListChange::Kind::Cleared}));
}

struct RecordingEffects : CommandEffects {
    std::vector<std::pair<std::string, Text>> calls;
    void SetClipboardText(const Text& text) override { calls.emplace_back("clipboard", text); }
    void OpenInBrowserControl(const Text& address) override { calls.emplace_back("browser", address); }
    void OpenWithSystem(const Text& address) override { calls.emplace_back("open", address); }
};

TEST(ListCommands, CopyPutsExactlyTheLinkOnTheClipboardThenHandsItToTheBrowserControl) {
    ResultList magnets(7, {2});
    magnets.AppendRow({"1", "name", "magnet:?xt=urn:btih:AB", "DSS", "1 GB", "3", "2026"});
    RecordingEffects effects;
    CopyMagnetLink(magnets, effects);
    EXPECT_TRUE(effects.calls.empty());
    EXPECT_FALSE(ShowsPopupMenu(magnets));
    magnets.SetSelectedRow(0);
    EXPECT_TRUE(ShowsPopupMenu(magnets));
    CopyMagnetLink(magnets, effects);
    const std::vector<std::pair<std::string, Text>> expected = {{"clipboard", "magnet:?xt=urn:btih:AB"},
                                                                {"browser", "magnet:?xt=urn:btih:AB"}};
    EXPECT_EQ(effects.calls, expected);
}

TEST(ListCommands, OpenPlayPageOpensTheAddressColumnOfTheSelectedRow) {
    ResultList plays(5);
    plays.AppendRow({"1", "t", "l", "7DDS", "http://h/p1"});
    plays.AppendRow({"2", "t", "l", "7DDS", "http://h/p2"});
    RecordingEffects effects;
    OpenPlayPage(plays, effects);
    EXPECT_TRUE(effects.calls.empty());
    plays.SetSelectedRow(1);
    OpenPlayPage(plays, effects);
    ASSERT_EQ(effects.calls.size(), 1u);
    EXPECT_EQ(effects.calls[0], (std::pair<std::string, Text>{"open", "http://h/p2"}));
}

}  // namespace
}  // namespace fw
