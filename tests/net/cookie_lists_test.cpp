#include "net/cookie_lists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "util/code_page.h"
#include "util/text_primitives.h"
#include "util/text_split.h"

namespace fw {
namespace {

struct HeaderCase {
    Text line;
    Text name;
    Text value;
};

TEST(CookieListsTest, HeaderNameAndValue) {
    const Text wideSpace = Utf8ToGbk("　");
    const std::vector<HeaderCase> cases = {
        {"Referer: a:b", "Referer", "a:b"},
        {"Content-Type: text/html", "Content-Type", "text/html"},
        {"NoColonHere", "", ""},
        {"", "", ""},
        {"  Name :  value  ", "Name", "value"},
        {":x", "", "x"},
        {"x:", "x", ""},
        {"Name:" + wideSpace + "v" + wideSpace, "Name", "v"},
        {"Name:\tv", "Name", "\tv"},
        // A ":" byte that is the second byte of a character is no colon.
        {"A\x81:B", "", ""},
    };
    for (const HeaderCase& c : cases) {
        EXPECT_EQ(HeaderName(c.line), c.name) << c.line;
        EXPECT_EQ(HeaderValue(c.line), c.value) << c.line;
    }
}

struct CollectCase {
    const char* name;
    Text block;
    Text expected;
};

TEST(CookieListsTest, CollectSetCookies) {
    const std::vector<CollectCase> cases = {
        {"attributes dropped, order kept", "Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2", "a=1; b=2"},
        {"status line and other headers skipped",
         "HTTP/1.1 200 OK\r\nServer: x\r\nSet-Cookie: sid=abc; HttpOnly\r\nContent-Length: 0\r\n\r\n",
         "sid=abc"},
        {"lower-case name ignored", "Set-Cookie: a=1\r\nset-cookie: c=3\r\nSet-Cookie: b=2", "a=1; b=2"},
        {"name without the space after the colon ignored", "Set-Cookie:a=1\r\nSet-Cookie: b=2", "b=2"},
        {"cookie set twice appears twice", "Set-Cookie: a=1\r\nSet-Cookie: a=2", "a=1; a=2"},
        {"deleted cookie kept with its value", "Set-Cookie: a=deleted; expires=Thu, 01 Jan 1970 00:00:00 GMT",
         "a=deleted"},
        {"value trimmed", "Set-Cookie:   a=1   ", "a=1"},
        {"value before the first semicolon trimmed", "Set-Cookie:  a=1 ; path=/", "a=1"},
        {"no cookies", "HTTP/1.1 200 OK\r\nServer: x", ""},
        {"empty block", "", ""},
        {"bare line feeds are no line breaks", "Set-Cookie: a=1\nSet-Cookie: b=2", "a=1\n b=2"},
    };
    for (const CollectCase& c : cases) {
        EXPECT_EQ(CollectSetCookies(c.block), c.expected) << c.name;
    }
}

TEST(CookieListsTest, CookieName) {
    const std::vector<std::pair<Text, Text>> cases = {
        {"a=1", "a"}, {" a =1", "a"}, {"abc", "abc"}, {"  abc  ", "abc"},
        {"=x", ""},   {"", ""},       {"a=b=c", "a"},
    };
    for (const auto& [item, name] : cases) {
        EXPECT_EQ(CookieName(item), name) << item;
    }
}

TEST(CookieListsTest, JoinUnique) {
    const std::vector<std::tuple<Text, Text, Text>> cases = {
        {"a; b; a; c; b", "; ", "a; b; c"}, {"a; b", "; ", "a; b"}, {"", "; ", ""}, {"a;;a;", ";", "a;"},
        {"x=1; x=2", "; ", "x=1; x=2"},     {"a,b,a", ",", "a,b"},
    };
    for (const auto& [text, separator, expected] : cases) {
        EXPECT_EQ(JoinUnique(text, separator), expected) << text;
    }
}

struct MergeCase {
    const char* name;
    Text oldList;
    Text newList;
    Text expected;
};

TEST(CookieListsTest, MergeCookies) {
    const std::vector<MergeCase> cases = {
        {"new replaces old of the same name", "a=1; b=2", "b=3; c=4", "b=3; c=4; a=1"},
        {"deleted cookie removed", "a=1", "a=deleted", ""},
        {"deleted old cookie removed", "a=deleted; b=2", "", "b=2"},
        {"spaces removed inside values", "a=x y", "", "a=xy"},
        {"first of several old items survives", "a=1; a=2", "", "a=1"},
        {"two empty lists", "", "", ""},
        {"only new", "", "a=1; b=2", "a=1; b=2"},
        {"exact duplicates among new dropped", "", "a=1; a=1", "a=1"},
        {"new items with one name all kept", "", "a=1; a=2", "a=1; a=2"},
        {"list without spaces", "a=1;b=2", "b=3", "b=3; a=1"},
        {"names compared exactly", "A=1", "a=2", "a=2; A=1"},
        {"item without a value", "flag; a=1", "a=2", "a=2; flag"},
        {"ideographic spaces removed", "a=1" + Utf8ToGbk("　") + "2", "", "a=12"},
    };
    for (const MergeCase& c : cases) {
        Text oldList = c.oldList;
        Text newList = c.newList;
        const Text merged = MergeCookies(oldList, newList);
        EXPECT_EQ(merged, c.expected) << c.name;
        EXPECT_EQ(oldList, c.expected) << c.name;
        EXPECT_EQ(newList, RemoveSpaces(c.newList)) << c.name;
    }
}

TEST(CookieListsTest, JunkCookieListsMergeIntoCleanLists) {
    // Whole characters only (ideographic space, "啊"), so that every "; " the merge writes stays visible to
    // the character-by-character split below.
    std::mt19937 random(11);
    const std::vector<Text> pieces = {"a",       "b",       "=", ";", " ", "\xA1\xA1", Utf8ToGbk("啊"),
                                      "deleted", "=deleted"};
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<std::size_t> length(0, 20);
    auto junk = [&] {
        Text text;
        for (std::size_t i = length(random); i > 0; --i) {
            text += pieces[pick(random)];
        }
        return text;
    };
    for (int round = 0; round < 20'000; ++round) {
        Text oldList = junk();
        Text newList = junk();
        const TextList oldItems = SplitText(RemoveSpaces(oldList), ";");
        const TextList newItems = SplitText(RemoveSpaces(newList), ";");
        const Text merged = MergeCookies(oldList, newList);
        ASSERT_EQ(oldList, merged);
        ASSERT_EQ(newList, RemoveSpaces(newList));

        const TextList items = SplitText(merged, "; ");
        ASSERT_EQ(std::set<Text>(items.begin(), items.end()).size(), items.size()) << merged;
        for (const Text& item : items) {
            ASSERT_EQ(RemoveSpaces(item), item) << merged;
            ASSERT_NE(TextRight(item, 8), "=deleted") << merged;
            const bool fromNew = std::find(newItems.begin(), newItems.end(), item) != newItems.end();
            const bool fromOld = std::find(oldItems.begin(), oldItems.end(), item) != oldItems.end();
            ASSERT_TRUE(fromNew || fromOld) << merged;
        }
    }
}

}  // namespace
}  // namespace fw
