#include "board/load_board.h"

#include <gtest/gtest.h>

#include <ostream>

#include "support/fixture_sites.h"
#include "support/loopback_server.h"
#include "support/scoped_net_limits.h"
#include "util/code_page.h"

namespace fw {
namespace {

using test::FixtureOptions;
using test::FixtureSite;
using test::FixtureSites;

TEST(CleanCast, KeepsWhatFollowsTheLastCastMarkerWithoutSpaces) {
    const std::pair<const char*, const char*> cases[] = {
        {"主演：张三, 李四", "张三,李四"},
        {"导演：某某 主演：Tom Hanks,Meg Ryan", "TomHanks,MegRyan"},
        {"主演：张三丰,李四光,王五郎,赵六六", "张三丰"},               // 26 bytes and a comma: the first name
        {"主演：张三丰,李四光,王五郎,赵", "张三丰,李四光,王五郎,赵"},  // exactly 24 bytes stays whole
        {"主演：欧阳司马诸葛上官东方西门南宫", "欧阳司马诸葛上官东方西门南宫"},  // long, no comma: whole
        {"暂无", "无"},
        {"主演：   ", "无"},
        {"", "无"},
        {"\n  主演：张三\n  ", "张三\n"},  // line breaks are not spaces
    };
    for (const auto& [raw, cleaned] : cases) {
        EXPECT_EQ(GbkToUtf8(CleanCast(Utf8ToGbk(raw))), cleaned) << raw;
    }
}

TEST(SlotOfEntry, FillsSlotsOneToFiveAndSevenToEleven) {
    const int expected[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 0, 0};
    for (int entry = 0; entry <= 12; ++entry) {
        EXPECT_EQ(SlotOfEntry(entry), expected[entry]) << entry;
    }
}

TEST(ParseBoardPage, JoinsTheScoreParts) {
    const std::string page = Utf8ToGbk(
        "<a title=\"甲\" class=\"x\">\n<img data-src=\"http://p/1.png\" alt=\"甲\">\n"
        "<p class=\"star\">主演：张三</p>\n<p>上映时间：2026-01-01</p>\n"
        "<p><i class=\"integer\">9.</i><i class=\"fraction\">5</i></p>  \n"
        "<a title=\"乙\" class=\"x\">\n<img data-src=\"http://p/2.png\" alt=\"乙\">\n"
        "<p class=\"star\">主演：李四</p>\n<p>上映时间：2026-02-02</p>\n"
        "<p><i class=\"integer\">8.</i><i class=\"fraction\"></i></p>  \n");
    const auto movies = ParseBoardPage(page);
    ASSERT_EQ(movies.size(), 2u);
    EXPECT_EQ(GbkToUtf8(movies[0].name), "甲");
    EXPECT_EQ(movies[0].posterAddress, "http://p/1.png");
    EXPECT_EQ(GbkToUtf8(movies[0].releaseLine), "上映时间：2026-01-01");
    EXPECT_EQ(movies[0].score, "9.5");
    EXPECT_EQ(movies[1].score, "8.");
    EXPECT_EQ(GbkToUtf8(movies[1].cast), "李四");
}

TEST(ParseBoardPage, EntriesBeyondAShorterListGetEmptyFieldsOrNoCast) {
    const std::string page = Utf8ToGbk(
        "<a title=\"甲\" class=\"x\">\n<a title=\"乙\" class=\"x\">\n<p class=\"star\">主演：张三</p>\n");
    const auto movies = ParseBoardPage(page);
    ASSERT_EQ(movies.size(), 2u);
    EXPECT_EQ(GbkToUtf8(movies[1].cast), "无");
    EXPECT_EQ(movies[1].posterAddress, "");
    EXPECT_EQ(GbkToUtf8(movies[1].releaseLine), "上映时间：");
    EXPECT_EQ(movies[1].score, "");
}

class BoardOfEntries : public ::testing::TestWithParam<int> {};

TEST_P(BoardOfEntries, FillsTenSlotsEachCompleteBeforeTheNextPoster) {
    FixtureOptions options;
    options.boardEntries = GetParam();
    FixtureSites sites(options);
    MemoryPosterSlots slots;
    LoadBoard(sites.Address(FixtureSite::Board) + "/board", slots);

    const auto written = slots.Slots();
    ASSERT_EQ(written.size(), 10u);
    const int expectedSlots[] = {1, 2, 3, 4, 5, 7, 8, 9, 10, 11};
    for (std::size_t i = 0; i < written.size(); ++i) {
        const int entry = static_cast<int>(i) + 1;
        EXPECT_EQ(written[i].slot, expectedSlots[i]);
        EXPECT_EQ(written[i].picture, FixtureSites::PosterPng(entry));
        EXPECT_EQ(GbkToUtf8(written[i].name), FixtureSites::BoardMovieName(entry));
        EXPECT_EQ(GbkToUtf8(written[i].releaseLine), "上映时间：2026-12-" + std::to_string(10 + entry));
    }
    EXPECT_EQ(written[0].score, "8.1");
    EXPECT_EQ(written[2].score, "7.");  // the third entry has no fraction part
    EXPECT_EQ(GbkToUtf8(written[1].cast), "张三丰");
    EXPECT_EQ(GbkToUtf8(written[3].cast), "无");

    // Per slot: picture, name, release line, score, cast; one slot after the other.
    const auto writes = slots.Writes();
    ASSERT_EQ(writes.size(), 50u);
    const PosterLabel order[] = {PosterLabel::Name, PosterLabel::ReleaseLine, PosterLabel::Score,
                                 PosterLabel::Cast};
    for (std::size_t i = 0; i < writes.size(); ++i) {
        EXPECT_EQ(writes[i].slot, expectedSlots[i / 5]);
        EXPECT_EQ(writes[i].isPicture, i % 5 == 0);
        if (i % 5 != 0) {
            EXPECT_EQ(writes[i].label, order[i % 5 - 1]);
        }
    }
    // The page and ten posters were read; the eleventh and twelfth entries' posters were not.
    EXPECT_EQ(sites.Requests(FixtureSite::Board).size(), 11u);
}

INSTANTIATE_TEST_SUITE_P(TenAndTwelve, BoardOfEntries, ::testing::Values(10, 12));

TEST(LoadBoard, AnUnreachableBoardWritesNothing) {
    MemoryPosterSlots slots;
    LoadBoard("http://127.0.0.1:1/board", slots);
    EXPECT_TRUE(slots.Writes().empty());
}

TEST(LoadBoard, AMissingPosterLeavesThePictureEmptyAndStillWritesTheLabels) {
    test::LoopbackServer board([](const test::RecordedRequest& request, test::Responder& reply) {
        if (request.target == "/board") {
            reply.Send(200, "OK", {},
                       "<a title=\"A\" class=\"x\">\n<img data-src=\"http://127.0.0.1:1/gone.png\" alt\n"
                       "<p class=\"star\">x</p>\n");
        }
    });
    MemoryPosterSlots slots;
    LoadBoard(board.Url("/board"), slots);
    const auto written = slots.Slots();
    ASSERT_EQ(written.size(), 1u);
    EXPECT_TRUE(written[0].picture.empty());
    EXPECT_EQ(written[0].name, "A");
    EXPECT_EQ(GbkToUtf8(written[0].cast), "无");
    EXPECT_EQ(slots.Writes().size(), 5u);
}

TEST(LoadBoard, ShortCastListsAndPostersThatAreNotImagesStillFillEverySlot) {
    FixtureOptions options;
    options.hostile[FixtureSite::Board] = test::HostileMode::ShortCastList;
    FixtureSites sites(options);
    MemoryPosterSlots slots;
    LoadBoard(sites.Address(FixtureSite::Board) + "/board", slots);
    const auto written = slots.Slots();
    ASSERT_EQ(written.size(), 10u);
    EXPECT_EQ(GbkToUtf8(written[9].cast), "无");  // beyond the five cast texts the page has
}

}  // namespace
}  // namespace fw

namespace fw {
namespace {

struct PosterCase {
    test::HostileMode mode;
    bool picturesAreImages;
};

void PrintTo(const PosterCase& c, std::ostream* out) {
    *out << (c.mode == test::HostileMode::PosterHuge ? "huge posters" : "posters that are not images");
}

class HostilePosters : public ::testing::TestWithParam<PosterCase> {};

TEST_P(HostilePosters, StillFillEverySlotWithBoundedPictures) {
    constexpr std::size_t kCap = 512 * 1024;
    const test::ScopedNetLimits limits(test::QuickNetLimits(kCap));
    FixtureOptions options;
    options.hostile[FixtureSite::Board] = GetParam().mode;
    FixtureSites sites(options);
    MemoryPosterSlots slots;
    LoadBoard(sites.Address(FixtureSite::Board) + "/board", slots);
    const auto written = slots.Slots();
    ASSERT_EQ(written.size(), 10u);
    for (const auto& slot : written) {
        EXPECT_LE(slot.picture.size(), kCap);
        EXPECT_EQ(slot.picture.rfind("\x89PNG", 0) == 0, GetParam().picturesAreImages);
        EXPECT_FALSE(slot.name.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, HostilePosters,
                         ::testing::Values(PosterCase{test::HostileMode::PosterNotImage, false},
                                           PosterCase{test::HostileMode::PosterHuge, true}));

}  // namespace
}  // namespace fw
