#include "util/text_split.h"

#include <gtest/gtest.h>

#include <vector>

#include "util/code_page.h"

namespace fw {
namespace {

const Text kAh = Utf8ToGbk("啊");                // B0 A1
const Text kOpenQuote = Utf8ToGbk("“");          // A1 B0
const Text kIdeographicSpace = Utf8ToGbk("　");  // A1 A1

TEST(TextSplitTest, GbkLiteralsHaveTheExpectedBytes) {
    EXPECT_EQ(kIdeographicSpace, "\xA1\xA1");
}

struct SplitCase {
    const char* name;
    Text text;
    Text separator;
    TextList expected;
};

TEST(TextSplitTest, SplitTextCases) {
    const std::vector<SplitCase> cases = {
        {"empty pieces kept, final empty piece dropped", ";a;;b;", ";", {"", "a", "", "b"}},
        {"no separator", "abc", ";", {"abc"}},
        {"final piece kept when not empty", "a;b", ";", {"a", "b"}},
        {"only a separator", ";", ";", {""}},
        {"empty text", "", ";", {}},
        {"empty separator gives the whole text", "a;b", "", {"a;b"}},
        {"two-byte separator", "Set-Cookie: a=1\r\nServer: x\r\n", "\r\n", {"Set-Cookie: a=1", "Server: x"}},
        {"separator longer than the text", "ab", "abc", {"ab"}},
        {"separator straddling characters", kAh + kAh, kOpenQuote, {kAh + kAh}},
        {"two-byte character as separator", "a" + kOpenQuote + kAh + kOpenQuote, kOpenQuote, {"a", kAh}},
        {"lone lead byte at the end", "a;\xB0", ";", {"a", "\xB0"}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(SplitText(c.text, c.separator), c.expected) << c.name;
    }
}

struct SpaceCase {
    const char* name;
    Text actual;
    Text expected;
};

TEST(TextSplitTest, TrimAndRemoveSpaces) {
    const Text wide = kIdeographicSpace;
    const std::vector<SpaceCase> cases = {
        {"trim both ends", TrimSpaces("  a b  "), "a b"},
        {"trim ideographic spaces", TrimSpaces(wide + " a" + wide + "b " + wide), "a" + wide + "b"},
        {"tabs and line breaks are not spaces", TrimSpaces("\t a\r\n"), "\t a\r\n"},
        {"only spaces", TrimSpaces(" " + wide + " "), ""},
        {"empty", TrimSpaces(""), ""},
        {"A1 A1 across two characters is no space", TrimSpaces(kAh + "\xA1\xB0"), kAh + "\xA1\xB0"},
        {"ideographic space after a two-byte character", TrimSpaces(kAh + wide), kAh},
        {"lone A1 at the end is no space", TrimSpaces("x\xA1"), "x\xA1"},
        {"lone lead byte after a space", TrimSpaces(" \xB0"), "\xB0"},
        {"second byte 0x20 belongs to its character", TrimSpaces("x\x81 "), "x\x81 "},
        {"remove every space", RemoveSpaces(" a b" + wide + "c "), "abc"},
        {"remove keeps tabs", RemoveSpaces("a\tb"), "a\tb"},
        {"remove inside values", RemoveSpaces("a=x y; b=2"), "a=xy;b=2"},
        {"remove leaves A1 A1 across characters", RemoveSpaces(kAh + "\xA1\xB0"), kAh + "\xA1\xB0"},
        {"remove keeps a second byte 0x20", RemoveSpaces("\x81 x"), "\x81 x"},
        {"remove with a lone lead byte at the end", RemoveSpaces("a \xA1"), "a\xA1"},
        {"remove from empty", RemoveSpaces(""), ""},
    };
    for (const SpaceCase& c : cases) {
        EXPECT_EQ(c.actual, c.expected) << c.name;
    }
}

}  // namespace
}  // namespace fw
