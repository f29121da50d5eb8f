#include "util/text_markers.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <thread>
#include <vector>

#include "util/code_page.h"
#include "util/text_primitives.h"

namespace fw {
namespace {

const Text kAh = Utf8ToGbk("啊");        // B0 A1
const Text kOpenQuote = Utf8ToGbk("“");  // A1 B0

struct ExtractCase {
    const char* name = "";
    Text text{};
    Text left{};
    Text right{};
    bool ignoreCase = false;
    int maxLength = 0;
    Text prefix{};
    Text suffix{};
    bool withLeft = false;
    bool withRight = false;
    int start = 1;
    TextList expected{};
};

TEST(TextMarkersTest, ExtractAllBetweenCases) {
    const Text page = Utf8ToGbk(
        "<li><span>文件大小：1.2 GB</span></li><li><span>文件大小：700 MB</span></li><li>无大小</li>");
    const std::vector<ExtractCase> cases = {
        {.name = "every item",
         .text = "<b>1</b><b>22</b>",
         .left = "<b>",
         .right = "</b>",
         .expected = {"1", "22"}},
        {.name = "Chinese markers over a page",
         .text = page,
         .left = Utf8ToGbk("文件大小："),
         .right = "</span>",
         .expected = {"1.2 GB", "700 MB"}},
        {.name = "a second left marker inside an item starts the next item",
         .text = "<b>x<b>y</b>z",
         .left = "<b>",
         .right = "</b>",
         .expected = {"x<b>y", "y"}},
        {.name = "nested left markers share the right marker, later ones get their own",
         .text = "<b>1<b>2</b>3<b>4</b>",
         .left = "<b>",
         .right = "</b>",
         .expected = {"1<b>2", "2", "4"}},
        {.name = "right marker right after the left gives an empty item",
         .text = "<b></b>",
         .left = "<b>",
         .right = "</b>",
         .expected = {""}},
        {.name = "maxLength keeps shorter items only",
         .text = "[abcd][abcde][abc]",
         .left = "[",
         .right = "]",
         .maxLength = 5,
         .expected = {"abcd", "abc"}},
        {.name = "negative maxLength keeps nothing",
         .text = "[a][]",
         .left = "[",
         .right = "]",
         .maxLength = -1,
         .expected = {}},
        {.name = "left marker missing", .text = "abc", .left = "<b>", .right = "</b>", .expected = {}},
        {.name = "right marker missing", .text = "<b>abc", .left = "<b>", .right = "</b>", .expected = {}},
        {.name = "items stop at the first left marker without a right marker",
         .text = "<b>1</b><b>2",
         .left = "<b>",
         .right = "</b>",
         .expected = {"1"}},
        {.name = "empty left marker", .text = "<b>1</b>", .left = "", .right = "</b>", .expected = {}},
        {.name = "empty right marker", .text = "<b>1</b>", .left = "<b>", .right = "", .expected = {}},
        {.name = "empty text", .text = "", .left = "<b>", .right = "</b>", .expected = {}},
        {.name = "markers longer than the text",
         .text = "<b",
         .left = "<b>",
         .right = "</b>",
         .expected = {}},
        {.name = "prefix, suffix and both markers",
         .text = "<b>x</b>",
         .left = "<b>",
         .right = "</b>",
         .prefix = "P",
         .suffix = "S",
         .withLeft = true,
         .withRight = true,
         .expected = {"<b>PxS</b>"}},
        {.name = "maxLength counts the whole item",
         .text = "<b>x</b>",
         .left = "<b>",
         .right = "</b>",
         .maxLength = 10,
         .prefix = "P",
         .suffix = "S",
         .withLeft = true,
         .withRight = true,
         .expected = {}},
        {.name = "maxLength one above the whole item",
         .text = "<b>x</b>",
         .left = "<b>",
         .right = "</b>",
         .maxLength = 11,
         .prefix = "P",
         .suffix = "S",
         .withLeft = true,
         .withRight = true,
         .expected = {"<b>PxS</b>"}},
        {.name = "only the left marker",
         .text = "<b>x</b>",
         .left = "<b>",
         .right = "</b>",
         .withLeft = true,
         .expected = {"<b>x"}},
        {.name = "magnet prefix",
         .text = "hash=\"AB12\" hash=\"CD34\"",
         .left = "hash=\"",
         .right = "\"",
         .prefix = "magnet:?xt=urn:btih:",
         .expected = {"magnet:?xt=urn:btih:AB12", "magnet:?xt=urn:btih:CD34"}},
        {.name = "case-sensitive by default",
         .text = "<B>x</B><b>y</b>",
         .left = "<b>",
         .right = "</b>",
         .expected = {"y"}},
        {.name = "ignoreCase",
         .text = "<B>x</B><b>y</b>",
         .left = "<b>",
         .right = "</b>",
         .ignoreCase = true,
         .expected = {"x", "y"}},
        {.name = "start skips earlier items",
         .text = "<b>1</b><b>2</b>",
         .left = "<b>",
         .right = "</b>",
         .start = 2,
         .expected = {"2"}},
        {.name = "start beyond the end",
         .text = "<b>1</b>",
         .left = "<b>",
         .right = "</b>",
         .start = 100,
         .expected = {}},
        {.name = "negative start",
         .text = "<b>1</b>",
         .left = "<b>",
         .right = "</b>",
         .start = INT_MIN,
         .expected = {"1"}},
        {.name = "markers straddling characters are not seen",
         .text = kAh + kAh + "[x]",
         .left = kOpenQuote,
         .right = "]",
         .expected = {}},
        {.name = "two-byte characters inside items stay whole",
         .text = "[" + kAh + "]" + "[" + kOpenQuote + "]",
         .left = "[",
         .right = "]",
         .expected = {kAh, kOpenQuote}},
        {.name = "left marker ending in half a character",
         // The first item's right marker is searched on the walk from byte 2, where "\xB0]" is one
         // character; the second item's walk starts at byte 3 and sees the "]" there.
         .text = "\xB0\xB0]]",
         .left = "\xB0",
         .right = "]",
         .expected = {"\xB0]", ""}},
    };
    for (const ExtractCase& c : cases) {
        TextList list = {"left over from before"};
        const int count = ExtractAllBetween(c.text, c.left, c.right, list, c.ignoreCase, c.maxLength,
                                            c.prefix, c.suffix, c.withLeft, c.withRight, c.start);
        EXPECT_EQ(list, c.expected) << c.name;
        EXPECT_EQ(count, static_cast<int>(list.size())) << c.name;
    }
}

TEST(TextMarkersTest, ExtractAllBetweenManyLeftMarkersBeforeOneRightStaysLinear) {
    // Every item of this page runs to the single right marker at the end. The length limit drops all but
    // the last few, so the work is all in finding the right marker again and again.
    constexpr int kLeftMarkers = 200'000;
    Text page;
    for (int i = 0; i < kLeftMarkers; ++i) {
        page += "<b>";
    }
    page += "</b>";
    TextList list;
    EXPECT_EQ(ExtractAllBetween(page, "<b>", "</b>", list, false, 10), 4);
    EXPECT_EQ(list, (TextList{"<b><b><b>", "<b><b>", "<b>", ""}));
}

TEST(TextMarkersTest, ExtractAllBetweenStopsBeforeOverlappingItemsExhaustMemory) {
    // Without a limit this page would give items of 3 * 40'000 * 40'000 / 2 bytes, some 2.4 GB.
    constexpr std::size_t kLeftMarkers = 40'000;
    constexpr std::size_t kListLimitBytes = 64u * 1024u * 1024u;
    Text page;
    for (std::size_t i = 0; i < kLeftMarkers; ++i) {
        page += "<b>";
    }
    page += "</b>";
    TextList list;
    const int count = ExtractAllBetween(page, "<b>", "</b>", list);
    ASSERT_GT(count, 0);
    EXPECT_LT(static_cast<std::size_t>(count), kLeftMarkers);
    std::size_t total = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        // The items kept are the first ones, each one left marker shorter than the one before.
        ASSERT_EQ(list[i].size(), 3 * (kLeftMarkers - 1 - i)) << i;
        total += list[i].size() + sizeof(Text);
    }
    EXPECT_LE(total, kListLimitBytes);
    const std::size_t firstDropped = 3 * (kLeftMarkers - 1 - list.size());
    EXPECT_GT(total + firstDropped + sizeof(Text), kListLimitBytes);
}

struct MarkerCase {
    const char* name;
    Text actual;
    Text expected;
};

TEST(TextMarkersTest, TextLeftOfCases) {
    const Text link = "magnet:?xt=urn:btih:ABCDEF&amp;dn=Some.Movie";
    const std::vector<MarkerCase> cases = {
        {"part before the marker", TextLeftOf(link, "&amp;dn="), "magnet:?xt=urn:btih:ABCDEF"},
        {"no marker gives nothing, not the whole text", TextLeftOf("magnet:?xt=urn:btih:ABCDEF", "&amp;dn="),
         ""},
        {"marker at the very start", TextLeftOf("&amp;dn=x", "&amp;dn="), ""},
        {"everything from the first byte whatever the start", TextLeftOf("a&b&c", "&", 3), "a&b"},
        {"start 0 counts as 1", TextLeftOf("a&b&c", "&", 0), "a"},
        {"start beyond the end", TextLeftOf("a&b&c", "&", 99), ""},
        {"case-sensitive by default", TextLeftOf("xAMPy", "amp"), ""},
        {"ignoreCase", TextLeftOf("xAMPy", "amp", 1, true), "x"},
        {"empty marker", TextLeftOf("abc", ""), ""},
        {"straddling marker", TextLeftOf(kAh + kAh, kOpenQuote), ""},
    };
    for (const MarkerCase& c : cases) {
        EXPECT_EQ(c.actual, c.expected) << c.name;
    }
}

TEST(TextMarkersTest, TextBetweenCases) {
    const Text page = "<a href=\"detail/1.html\" title=\"One\">One</a>";
    const Text quote = Utf8ToGbk("#引号");
    const std::vector<MarkerCase> cases = {
        {"between the markers", TextBetween(page, "href=\"", "\""), "detail/1.html"},
        {"placeholder in the left marker", TextBetween(page, "href=" + quote, "\""), "detail/1.html"},
        {"placeholder in both markers", TextBetween(page, "title=" + quote, quote + ">"), "One"},
        {"placeholder only in the right marker", TextBetween(page, "title=\"", quote), "One"},
        {"placeholder twice in one marker", TextBetween(page, quote + " title=" + quote, quote), "One"},
        {"text of the placeholder without the mark is no placeholder",
         TextBetween(page, "href=" + Utf8ToGbk("引号"), "\""), ""},
        {"left marker missing", TextBetween(page, "src=\"", "\""), ""},
        {"right marker missing", TextBetween(page, "href=\"", "<b>"), ""},
        {"right marker only before the left", TextBetween("]x[", "[", "]"), ""},
        {"right marker right after the left", TextBetween("[]", "[", "]"), ""},
        {"start skips the first pair", TextBetween("[1][2]", "[", "]", 2), "2"},
        {"start beyond the end", TextBetween("[1][2]", "[", "]", 99), ""},
        {"ignoreCase", TextBetween("<B>x</B>", "<b>", "</b>", 1, true), "x"},
        {"case-sensitive by default", TextBetween("<B>x</B>", "<b>", "</b>"), ""},
        {"empty left marker", TextBetween("[1]", "", "]"), ""},
        {"empty right marker", TextBetween("[1]", "[", ""), ""},
        {"straddling right marker skipped", TextBetween("[" + kAh + kAh + kOpenQuote, "[", kOpenQuote),
         kAh + kAh},
    };
    for (const MarkerCase& c : cases) {
        EXPECT_EQ(c.actual, c.expected) << c.name;
    }
}

TEST(TextMarkersTest, TextBetweenFromManyThreadsAtOnce) {
    // The first calls race to set up the placeholder; every thread must still see the double quote.
    const Text page = "<a title=\"One\">";
    const Text left = "title=" + Utf8ToGbk("#引号");
    std::vector<Text> results(8);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < results.size(); ++i) {
        threads.emplace_back([&, i] { results[i] = TextBetween(page, left, "\""); });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (const Text& result : results) {
        EXPECT_EQ(result, "One");
    }
}

TEST(TextMarkersTest, ReplaceManyCases) {
    const Text field = "<b>Movie</b> <B>2024</B>";
    const std::vector<MarkerCase> cases = {
        {"removes tags in either case", ReplaceMany(field, "<b>", "", "</b>", ""), "Movie 2024"},
        {"caseSensitive keeps capitals",
         ReplaceMany(field, "<b>", "", "</b>", "", {}, {}, {}, {}, {}, {}, -1, 1, true), "Movie <B>2024</B>"},
        {"one pair equals ReplaceText", ReplaceMany(field, "<b>", "[b]"),
         ReplaceText(field, "<b>", "[b]", 1, -1, false)},
        {"pairs apply in turn", ReplaceMany("abc", "a", "b", "b", "c"), "ccc"},
        {"all five pairs", ReplaceMany("12345", "1", "a", "2", "b", "3", "c", "4", "d", "5", "e"), "abcde"},
        {"count applies to each pair", ReplaceMany("aabb", "a", "x", "b", "y", {}, {}, {}, {}, {}, {}, 1),
         "xayb"},
        {"start 0 counts as 1", ReplaceMany("abab", "a", "", {}, {}, {}, {}, {}, {}, {}, {}, -1, 0), "bb"},
        {"start keeps the bytes before it",
         ReplaceMany("abab", "a", "", {}, {}, {}, {}, {}, {}, {}, {}, -1, 2), "abb"},
        {"empty first old changes nothing", ReplaceMany("abab", "", "x", "b", "c"), "acac"},
        {"empty text", ReplaceMany("", "a", "b"), ""},
    };
    for (const MarkerCase& c : cases) {
        EXPECT_EQ(c.actual, c.expected) << c.name;
    }
}

TEST(TextMarkersTest, TextRightOfLastCases) {
    const Text link = "<a href=\"/play/1\">Episode \">1</a>";
    const std::vector<MarkerCase> cases = {
        {"part after the last occurrence", TextRightOfLast(link, "\">"), "1</a>"},
        {"ending with the marker gives nothing", TextRightOfLast("<a href=\"x\">", "\">"), ""},
        {"missing marker", TextRightOfLast("abc", "\">"), ""},
        {"start limits the search, result runs to the end", TextRightOfLast("a\">b\">c", "\">", 5), "b\">c"},
        {"start 1 finds nothing", TextRightOfLast("a\">b", "\">", 1), ""},
        {"ignoreCase", TextRightOfLast("xABy", "ab", -1, true), "y"},
        {"empty marker", TextRightOfLast("abc", ""), ""},
        {"marker is the whole text", TextRightOfLast("\">", "\">"), ""},
        {"straddling marker", TextRightOfLast(kOpenQuote + "x" + kAh + kAh, kOpenQuote), "x" + kAh + kAh},
    };
    for (const MarkerCase& c : cases) {
        EXPECT_EQ(c.actual, c.expected) << c.name;
    }
}

}  // namespace
}  // namespace fw
