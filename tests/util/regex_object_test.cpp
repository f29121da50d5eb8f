#include "util/regex_object.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "util/code_page.h"

namespace fw {
namespace {

// Test texts are written in UTF-8 source and handed to the object as GBK, like page texts.
Text Gbk(std::string_view utf8) {
    return Utf8ToGbk(utf8);
}

std::vector<std::string> AllMatchesUtf8(const RegexObject& regex) {
    std::vector<std::string> texts;
    for (int i = 1; i <= regex.MatchCount(); ++i) {
        texts.push_back(GbkToUtf8(regex.MatchText(i)));
    }
    return texts;
}

std::vector<int> AllPositions(const RegexObject& regex) {
    std::vector<int> positions;
    for (int i = 1; i <= regex.MatchCount(); ++i) {
        int position = -2;
        regex.MatchText(i, &position);
        positions.push_back(position);
    }
    return positions;
}

struct PageCase {
    const char* name;
    const char* pattern;
    const char* page;
    std::vector<std::string> expected;
};

void PrintTo(const PageCase& c, std::ostream* out) {
    *out << c.name;
}

class ProgramPatternTest : public ::testing::TestWithParam<PageCase> {};

// The patterns the page readers run, with default options, over snippets shaped like the sites' pages.
TEST_P(ProgramPatternTest, FindsTheEntriesOfThePage) {
    const PageCase& c = GetParam();
    RegexObject regex;
    ASSERT_TRUE(regex.Execute(Gbk(c.pattern), Gbk(c.page)));
    EXPECT_EQ(AllMatchesUtf8(regex), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, ProgramPatternTest,
    ::testing::Values(
        PageCase{"SearchHitsTwoOnOneLine",
                 "href=.*</a></h3>",
                 "<li><h3><a href=\"/v/1.html\">流浪地球</a></h3><h3><a "
                 "href=\"/v/2.html\">流浪地球2</a></h3></li>\n"
                 "<li><h3><a href=\"/v/3.html\">流浪地球3</a></h3></li>\n",
                 {"href=\"/v/1.html\">流浪地球</a></h3><h3><a href=\"/v/2.html\">流浪地球2</a></h3>",
                  "href=\"/v/3.html\">流浪地球3</a></h3>"}},
        PageCase{"SearchHitNeverCrossesALineBreak",
                 "href=.*</a></h3>",
                 "<a href=\"/v/1.html\">流浪地球</a>\n</a></h3>\r\n<h3>href=\"/v/2.html\">二</a></h3>",
                 {"href=\"/v/2.html\">二</a></h3>"}},
        PageCase{"ReleaseDateChineseLiteral",
                 "上映时间：.*</p>",
                 "<p class=\"releasetime\">上映时间：2024-02-10</p>\n"
                 "<p class=\"releasetime\">上映时间：2024-05-01(中国大陆)</p><p class=\"x\">完</p>\n"
                 "<p>上映时间 2024</p>",
                 {"上映时间：2024-02-10</p>", "上映时间：2024-05-01(中国大陆)</p><p class=\"x\">完</p>"}},
        PageCase{
            "BoardName",
            "title=\".*\" class=\"",
            "<a href=\"/films/1\" title=\"热辣滚烫\" class=\"image-link\" data-act=\"boarditem-click\">\n"
            "<p class=\"name\"><a href=\"/films/2\" title=\"飞驰人生2\" class=\"\">飞驰人生2</a></p>",
            {"title=\"热辣滚烫\" class=\"", "title=\"飞驰人生2\" class=\""}},
        PageCase{"BoardPoster",
                 "data-src=\".*\" alt",
                 "<img data-src=\"https://p0.example.com/movie/1.jpg@160w_220h\" alt=\"热辣滚烫\" "
                 "class=\"board-img\" />\n"
                 "<img src=\"/loading.png\" alt=\"\" />",
                 {"data-src=\"https://p0.example.com/movie/1.jpg@160w_220h\" alt"}},
        PageCase{"BoardScoreNeedsBothTrailingSpaces",
                 "integer\">.*</i></p>  ",
                 "<p class=\"score\"><i class=\"integer\">9.</i><i class=\"fraction\">5</i></p>  \n"
                 "<p class=\"score\"><i class=\"integer\">8.</i><i class=\"fraction\">1</i></p> \n",
                 {"integer\">9.</i><i class=\"fraction\">5</i></p>  "}},
        PageCase{"LowerCasePatternMatchesUpperCasePage",
                 "href=.*</a></h3>",
                 "<H3><A HREF=\"/V/9.HTML\">大写</A></H3>",
                 {"HREF=\"/V/9.HTML\">大写</A></H3>"}},
        PageCase{
            "IgnoreCaseBeyondAscii", "αβγ|ａｂｃ|привет", "ΑΒΓ ＡＢＣ ПРИВЕТ", {"ΑΒΓ", "ＡＢＣ", "ПРИВЕТ"}},
        PageCase{"NoMatchingLine", "href=.*</a></h3>", "<html><body>没有结果</body></html>", {}},
        PageCase{"EmptyPage", "href=.*</a></h3>", "", {}}),
    [](const ::testing::TestParamInfo<PageCase>& info) { return std::string(info.param.name); });

struct OptionCase {
    const char* name;
    const char* pattern;
    const char* subject;
    bool caseSensitive;
    bool multiLine;
    bool global;
    std::vector<std::string> expected;
};

void PrintTo(const OptionCase& c, std::ostream* out) {
    *out << c.name;
}

class OptionTest : public ::testing::TestWithParam<OptionCase> {};

TEST_P(OptionTest, MatchesAsTheDialectSays) {
    const OptionCase& c = GetParam();
    RegexObject regex;
    ASSERT_TRUE(regex.Execute(Gbk(c.pattern), Gbk(c.subject), c.caseSensitive, c.multiLine, c.global));
    EXPECT_EQ(AllMatchesUtf8(regex), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Dialect, OptionTest,
    ::testing::Values(
        OptionCase{"CaseSensitive", "abc", "ABC abc", true, true, true, {"abc"}},
        OptionCase{"IgnoreCase", "abc", "ABC abc", false, true, true, {"ABC", "abc"}},
        OptionCase{"GlobalOffGivesTheFirstOnly", "a\\d", "a1 a2 a3", false, true, false, {"a1"}},
        OptionCase{"GlobalOnGivesAllLeftToRight", "a\\d", "a1 a2 a3", false, true, true, {"a1", "a2", "a3"}},
        OptionCase{"MatchesDoNotOverlap", "aba", "ababababa", false, true, true, {"aba", "aba"}},
        OptionCase{"MultiLineCaretAtEveryLine", "^\\w+", "one\ntwo", false, true, true, {"one", "two"}},
        OptionCase{"SingleLineCaretAtStartOnly", "^\\w+", "one\ntwo", false, false, true, {"one"}},
        OptionCase{"MultiLineDollarBeforeLineBreak", "\\w+$", "one\ntwo", false, true, true, {"one", "two"}},
        OptionCase{"SingleLineDollarAtVeryEndOnly", "\\w+$", "one\ntwo\n", false, false, true, {}},
        OptionCase{"DotStopsAtLineFeed", "a.b", "a\nb", false, true, true, {}},
        OptionCase{"DotTakesCarriageReturn", "a.b", "a\rb", false, true, true, {"a\rb"}},
        OptionCase{"DotStarIsGreedy", "<.*>", "<a><b> <c>\n<d>", false, true, true, {"<a><b> <c>", "<d>"}},
        OptionCase{"LazyQuantifier", "<.*?>", "<a><b>", false, true, true, {"<a>", "<b>"}},
        OptionCase{"DotIsOneChineseCharacter", "电.影", "电视影 电影", false, true, true, {"电视影"}},
        OptionCase{"CharacterClassOfChinese", "[一-龥]+", "abc中文def", false, true, true, {"中文"}},
        OptionCase{"EmptyMatchMovesOnOneCharacter", "x*", "中a", false, true, true, {"", "", ""}},
        OptionCase{"EmptyMatchAfterAMatch", "a*", "baa", false, true, true, {"", "aa", ""}},
        OptionCase{"EmptyClassNeverMatches", "a[]", "a[]", false, true, true, {}},
        OptionCase{"NegatedEmptyClassTakesAnything", "a[^]b", "a\nb", false, true, true, {"a\nb"}},
        OptionCase{"UnicodeEscape", "\\u4e2d", "中文", false, true, true, {"中"}},
        OptionCase{"BackslashCIsItsLetterNotAByte", "\\C", "中C", false, true, true, {"C"}},
        OptionCase{"UnknownEscapeIsItsLetter", "\\j", "j", false, true, true, {"j"}},
        OptionCase{"UnsetBackReferenceMatchesEmpty", "(a)?\\1b", "b", false, true, true, {"b"}},
        OptionCase{"Lookahead", "\\d+(?=元)", "12元 34角", false, true, true, {"12"}}),
    [](const ::testing::TestParamInfo<OptionCase>& info) { return std::string(info.param.name); });

struct PlaceholderCase {
    const char* name;
    bool quotePlaceholder;
    const char* subject;
    const char* expectedPattern;
    std::vector<std::string> expected;
};

void PrintTo(const PlaceholderCase& c, std::ostream* out) {
    *out << c.name;
}

class PlaceholderTest : public ::testing::TestWithParam<PlaceholderCase> {};

TEST_P(PlaceholderTest, StandsForAQuoteOnlyWhenAsked) {
    const PlaceholderCase& c = GetParam();
    RegexObject regex;
    ASSERT_TRUE(regex.Execute(Gbk("title=#引号[^#引号]*#引号"), Gbk(c.subject), false, true, true,
                              c.quotePlaceholder));
    EXPECT_EQ(GbkToUtf8(regex.Pattern()), c.expectedPattern);
    EXPECT_EQ(AllMatchesUtf8(regex), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Quote, PlaceholderTest,
    ::testing::Values(
        PlaceholderCase{
            "OnMatchesAQuote", true, "<a title=\"电影\">", "title=\"[^\"]*\"", {"title=\"电影\""}},
        PlaceholderCase{"OnDoesNotMatchTheLiteral", true, "<a title=#引号电影#引号>", "title=\"[^\"]*\"", {}},
        PlaceholderCase{"OffMatchesTheLiteral",
                        false,
                        "<a title=#引号x#引号>",
                        "title=#引号[^#引号]*#引号",
                        {"title=#引号x#引号"}},
        PlaceholderCase{
            "OffDoesNotMatchAQuote", false, "<a title=\"电影\">", "title=#引号[^#引号]*#引号", {}}),
    [](const ::testing::TestParamInfo<PlaceholderCase>& info) { return std::string(info.param.name); });

TEST(RegexObjectPosition, IsTheTrueByteOffsetAfterDoubleByteCharacters) {
    // The second "abc" starts at character 6 but at byte 9; a search from byte 6 would land on the first.
    RegexObject regex;
    ASSERT_TRUE(regex.Execute("abc", Gbk("中中中abcabc")));
    EXPECT_EQ(AllPositions(regex), (std::vector<int>{6, 9}));
    EXPECT_EQ(AllMatchesUtf8(regex), (std::vector<std::string>{"abc", "abc"}));
}

TEST(RegexObjectPosition, EmptyMatchesStepOverWholeCharacters) {
    RegexObject regex;
    ASSERT_TRUE(regex.Execute("x*", Gbk("中文a")));
    EXPECT_EQ(AllPositions(regex), (std::vector<int>{0, 2, 4, 5}));
}

TEST(RegexObjectPosition, EmptyMatchesFurtherOnAreFoundOnce) {
    RegexObject regex;
    ASSERT_TRUE(regex.Execute("(?=c)", Gbk("中c中c")));
    EXPECT_EQ(AllPositions(regex), (std::vector<int>{2, 5}));
    EXPECT_EQ(GbkToUtf8(regex.Replace("-")), "中-c中-c");
}

TEST(RegexObjectPosition, OfGroupsCountsBytesToo) {
    RegexObject regex;
    ASSERT_TRUE(regex.Execute(Gbk("(\\d+)年(\\d+)月"), Gbk("上映：2024年5月，重映：2025年12月")));
    ASSERT_EQ(regex.MatchCount(), 2);
    ASSERT_EQ(regex.SubMatchCount(), 2);
    struct Expected {
        int match;
        int group;
        const char* text;
        int position;
    };
    for (const Expected& e : {Expected{1, 1, "2024", 6}, Expected{1, 2, "5", 12}, Expected{2, 1, "2025", 23},
                              Expected{2, 2, "12", 29}}) {
        int position = -2;
        EXPECT_EQ(GbkToUtf8(regex.SubMatchText(e.match, e.group, &position)), e.text)
            << e.match << "/" << e.group;
        EXPECT_EQ(position, e.position) << e.match << "/" << e.group;
    }
    int position = -2;
    EXPECT_EQ(GbkToUtf8(regex.MatchText(2, &position)), "2025年12月");
    EXPECT_EQ(position, 23);
}

TEST(RegexObjectPosition, SurvivesBytesThatAreNoGbkCharacters) {
    // 0x80 (the euro sign) and 0xFF stand alone, and so does a lead byte that is followed by no trail byte.
    const Text subject = std::string("\x80\xFF\x81") + "0abc" + "\xB5\xE7" + "abc\x81";
    RegexObject regex;
    ASSERT_TRUE(regex.Execute("abc", subject));
    EXPECT_EQ(AllPositions(regex), (std::vector<int>{4, 9}));
    EXPECT_EQ(regex.MatchText(2), "abc");
    ASSERT_TRUE(regex.Execute("0abc.", subject));
    EXPECT_EQ(regex.MatchText(1), std::string("0abc\xB5\xE7"));
}

TEST(RegexObjectSubMatch, UnsetGroupGivesEmptyTextAndNoPosition) {
    RegexObject regex;
    ASSERT_TRUE(regex.Execute("(a)|(b)", "b"));
    int position = -2;
    EXPECT_EQ(regex.SubMatchText(1, 1, &position), "");
    EXPECT_EQ(position, -1);
    EXPECT_EQ(regex.SubMatchText(1, 2, &position), "b");
    EXPECT_EQ(position, 0);
}

TEST(RegexObjectSubMatch, IndexesOutsideTheRangeGiveEmptyText) {
    RegexObject regex;
    ASSERT_TRUE(regex.Execute("(\\d)(\\w)", "1a 2b"));
    ASSERT_EQ(regex.MatchCount(), 2);
    for (const auto& [match, group] :
         std::vector<std::pair<int, int>>{{0, 1}, {3, 1}, {1, 0}, {1, 3}, {-1, 1}}) {
        int position = -2;
        EXPECT_EQ(regex.SubMatchText(match, group, &position), "") << match << "/" << group;
        EXPECT_EQ(position, -1) << match << "/" << group;
    }
    for (const int index : {0, -1, 3}) {
        int position = -2;
        EXPECT_EQ(regex.MatchText(index, &position), "") << index;
        EXPECT_EQ(position, -1) << index;
    }
    EXPECT_EQ(regex.SubMatchText(2, 2), "b");
}

TEST(RegexObjectSubMatch, CountIsZeroWithoutAMatch) {
    RegexObject regex;
    ASSERT_TRUE(regex.Execute("(a)(b)", "xyz"));
    EXPECT_EQ(regex.SubMatchCount(), 0);
    ASSERT_TRUE(regex.Execute("(a)(b)", "ab"));
    EXPECT_EQ(regex.SubMatchCount(), 2);
    ASSERT_TRUE(regex.Execute("ab", "ab"));
    EXPECT_EQ(regex.SubMatchCount(), 0);
}

struct ReplaceCase {
    const char* name;
    const char* pattern;
    const char* subject;
    bool global;
    const char* replacement;
    const char* expected;
};

void PrintTo(const ReplaceCase& c, std::ostream* out) {
    *out << c.name;
}

class ReplaceTest : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceTest, ReplacesTheMatchesOfTheLastExecute) {
    const ReplaceCase& c = GetParam();
    RegexObject regex;
    ASSERT_TRUE(regex.Execute(Gbk(c.pattern), Gbk(c.subject), false, true, c.global));
    EXPECT_EQ(GbkToUtf8(regex.Replace(Gbk(c.replacement))), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    References, ReplaceTest,
    ::testing::Values(
        ReplaceCase{"GroupsSwapped", "(\\d+)-(\\d+)", "1-2 3-4", true, "$2-$1", "2-1 4-3"},
        ReplaceCase{"FirstOnlyWithoutGlobal", "(\\d+)-(\\d+)", "1-2 3-4", false, "$2-$1", "2-1 3-4"},
        ReplaceCase{"ChineseAroundGroups", "电影(\\d)", "电影1和电影2", true, "第$1部", "第1部和第2部"},
        ReplaceCase{"WholeMatch", "\\d", "a1b", true, "[$&]", "a[1]b"},
        ReplaceCase{"BeforeAndAfter", "b", "abc", true, "($`|$')", "a(a|c)c"},
        ReplaceCase{"DollarDollar", "b", "abc", true, "$$", "a$c"},
        ReplaceCase{"MissingGroupStaysLiteral", "(b)", "abc", true, "$2$0$x$", "a$2$0$x$c"},
        ReplaceCase{"TwoDigitsFallBackToOne", "(b)", "abc", true, "$12", "ab2c"},
        ReplaceCase{"TwoDigitGroup", "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)", "abcdefghijk", true, "$11$10$01",
                    "kja"},
        ReplaceCase{"UnsetGroupIsEmpty", "(a)|(b)", "b", true, "[$1]", "[]"},
        ReplaceCase{"EmptyMatchesInsertBetweenCharacters", "x*", "中a", true, "-", "-中-a-"},
        ReplaceCase{"NoMatchLeavesTheSubject", "z", "电影", true, "y", "电影"}),
    [](const ::testing::TestParamInfo<ReplaceCase>& info) { return std::string(info.param.name); });

TEST(RegexObjectFailure, InvalidPatternsLeaveNoMatches) {
    for (const char* pattern : {"(", "a[", "*a", "a{2,1}", "(?<"}) {
        RegexObject regex;
        ASSERT_TRUE(regex.Execute("a", "a a"));
        EXPECT_FALSE(regex.Execute(pattern, "a ( [ *")) << pattern;
        EXPECT_EQ(regex.MatchCount(), 0) << pattern;
        int position = -2;
        EXPECT_EQ(regex.MatchText(1, &position), "") << pattern;
        EXPECT_EQ(position, -1) << pattern;
        EXPECT_EQ(regex.SubMatchText(1, 1), "") << pattern;
        EXPECT_EQ(regex.SubMatchCount(), 0) << pattern;
        EXPECT_EQ(regex.Replace("x"), "") << pattern;
        EXPECT_EQ(regex.Pattern(), pattern);
    }
}

TEST(RegexObjectState, IsEmptyBeforeTheFirstExecute) {
    const RegexObject regex;
    EXPECT_EQ(regex.Pattern(), "");
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_EQ(regex.MatchText(1), "");
    EXPECT_EQ(regex.SubMatchText(1, 1), "");
    EXPECT_EQ(regex.SubMatchCount(), 0);
    EXPECT_EQ(regex.Replace("x"), "");
}

TEST(RegexObjectState, SecondExecuteReplacesEverything) {
    RegexObject regex;
    ASSERT_TRUE(regex.Execute("(\\w)\\d", "a1 b2 c3", true));
    ASSERT_EQ(regex.MatchCount(), 3);
    ASSERT_TRUE(regex.Execute(Gbk("上映时间：.*</p>"), Gbk("<p>上映时间：2024</p>")));
    EXPECT_EQ(GbkToUtf8(regex.Pattern()), "上映时间：.*</p>");
    EXPECT_EQ(AllMatchesUtf8(regex), (std::vector<std::string>{"上映时间：2024</p>"}));
    EXPECT_EQ(regex.MatchText(2), "");
    EXPECT_EQ(regex.SubMatchCount(), 0);
    EXPECT_EQ(GbkToUtf8(regex.Replace("X")), "<p>X");
}

TEST(RegexObjectCopy, SharesMatchesAndKeepsThemWhenTheOriginalMovesOn) {
    auto original = std::make_unique<RegexObject>();
    ASSERT_TRUE(original->Execute(Gbk("(\\d+)分"), Gbk("甲9分 乙8分")));
    RegexObject copy(*original);
    EXPECT_EQ(copy.Pattern(), original->Pattern());
    EXPECT_EQ(AllMatchesUtf8(copy), (std::vector<std::string>{"9分", "8分"}));
    EXPECT_EQ(copy.SubMatchText(2, 1), "8");
    EXPECT_EQ(GbkToUtf8(copy.Replace("$1")), "甲9 乙8");

    ASSERT_TRUE(original->Execute("x", "x"));
    original.reset();
    EXPECT_EQ(GbkToUtf8(copy.Pattern()), "(\\d+)分");
    EXPECT_EQ(AllMatchesUtf8(copy), (std::vector<std::string>{"9分", "8分"}));
    EXPECT_EQ(AllPositions(copy), (std::vector<int>{2, 8}));
    EXPECT_EQ(GbkToUtf8(copy.Replace("<$&>")), "甲<9分> 乙<8分>");
}

TEST(RegexObjectCopy, AssignmentTakesTheOthersStateAndLeavesItAlone) {
    RegexObject source;
    ASSERT_TRUE(source.Execute("b+", "abbc"));
    RegexObject target;
    ASSERT_TRUE(target.Execute("z", "zzz"));
    target = source;
    EXPECT_EQ(target.Pattern(), "b+");
    EXPECT_EQ(AllMatchesUtf8(target), (std::vector<std::string>{"bb"}));
    ASSERT_TRUE(target.Execute("c", "cc"));
    EXPECT_EQ(AllMatchesUtf8(source), (std::vector<std::string>{"bb"}));
    EXPECT_EQ(source.Replace("-"), "a-c");
    const RegexObject& alias = target;
    target = alias;
    EXPECT_EQ(AllMatchesUtf8(target), (std::vector<std::string>{"c", "c"}));
}

// Hostile pages: each of these would run for ages without the matcher's limits.
TEST(RegexObjectLimits, NestedRepeatOverALongRunEnds) {
    RegexObject regex;
    EXPECT_TRUE(regex.Execute("(a+)+$", std::string(50000, 'a') + "b"));
    EXPECT_EQ(regex.MatchCount(), 0);
}

TEST(RegexObjectLimits, ThreeDotStarsOverAMegabyteLineEnd) {
    RegexObject regex;
    EXPECT_TRUE(regex.Execute(".*.*.*x", std::string(1 << 20, 'y')));
    EXPECT_EQ(regex.MatchCount(), 0);
}

TEST(RegexObjectLimits, AnAttemptThatHitsALimitEndsTheScanAndKeepsEarlierMatches) {
    // Without limits the scan would also find the "ok" after the run of a's.
    const Text subject = "ok ok\n" + std::string(50000, 'a') + "c\nok";
    RegexObject regex;
    EXPECT_TRUE(regex.Execute("ok|(a+)+$", subject));
    EXPECT_EQ(AllMatchesUtf8(regex), (std::vector<std::string>{"ok", "ok"}));
    EXPECT_EQ(regex.Replace("OK").substr(0, 6), "OK OK\n");
}

TEST(RegexObjectLimits, ManyEmptyMatchesOverALargeSubjectStayLinear) {
    RegexObject regex;
    ASSERT_TRUE(regex.Execute("x*", std::string(1 << 20, 'y')));
    EXPECT_EQ(regex.MatchCount(), (1 << 20) + 1);
    int position = -2;
    EXPECT_EQ(regex.MatchText(regex.MatchCount(), &position), "");
    EXPECT_EQ(position, 1 << 20);
}

TEST(RegexObjectThreads, ObjectsOnSeveralThreadsRunAtOnce) {
    std::string page;
    for (int i = 0; i < 200; ++i) {
        page += "<p class=\"releasetime\">上映时间：2024-01-" + std::to_string(i % 28 + 1) + "</p>\n";
    }
    const Text gbkPage = Gbk(page);
    const Text pattern = Gbk("上映时间：(.*)</p>");
    RegexObject shared;
    ASSERT_TRUE(shared.Execute(pattern, gbkPage));

    std::vector<int> counts(4, -1);
    std::vector<int> agreeing(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t, copy = shared] {
            RegexObject own;
            own.Execute(pattern, gbkPage);
            counts[static_cast<std::size_t>(t)] = own.MatchCount();
            for (int i = 1; i <= own.MatchCount(); ++i) {
                if (own.SubMatchText(i, 1) == copy.SubMatchText(i, 1)) {
                    ++agreeing[static_cast<std::size_t>(t)];
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(counts, std::vector<int>(4, 200));
    EXPECT_EQ(agreeing, std::vector<int>(4, 200));
    EXPECT_EQ(GbkToUtf8(shared.SubMatchText(200, 1)), "2024-01-4");
}

}  // namespace
}  // namespace fw
