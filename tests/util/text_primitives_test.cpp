#include "util/text_primitives.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "util/code_page.h"

namespace fw {
namespace {

// Two-byte GBK characters used to build texts whose bytes straddle character boundaries.
// "啊" is B0 A1 and "“" is A1 B0, so "啊啊“" holds the bytes A1 B0 at positions 2 and 4 (each the second
// byte of one character and the first of the next) and at 5 (a real character).
const Text kAh = Utf8ToGbk("啊");
const Text kOpenQuote = Utf8ToGbk("“");

TEST(TextPrimitivesTest, GbkLiteralsHaveTheExpectedBytes) {
    EXPECT_EQ(kAh, "\xB0\xA1");
    EXPECT_EQ(kOpenQuote, "\xA1\xB0");
}

struct FindCase {
    const char* name;
    Text text;
    Text needle;
    int start;
    bool ignoreCase;
    int expected;
};

TEST(TextPrimitivesTest, FindTextCases) {
    const Text page = Utf8ToGbk("<span>文件大小：1.2 GB</span>");
    const std::vector<FindCase> cases = {
        {"first occurrence", "abcabc", "c", 1, false, 3},
        {"from a later start", "abcabc", "c", 4, false, 6},
        {"start on the match", "abcabc", "c", 6, false, 6},
        {"start beyond the length", "abcabc", "c", 7, false, -1},
        {"start far beyond", "abcabc", "a", INT_MAX, false, -1},
        {"start 0 searches from the first byte", "abcabc", "a", 0, false, 1},
        {"negative start searches from the first byte", "abcabc", "a", -7, false, 1},
        {"most negative start", "abcabc", "b", INT_MIN, false, 2},
        {"needle longer than the text", "abc", "abcd", 1, false, -1},
        {"needle only partly left at the end", "abcab", "abc", 2, false, -1},
        {"empty needle", "abc", "", 1, false, -1},
        {"empty text", "", "a", 1, false, -1},
        {"Chinese marker", page, Utf8ToGbk("文件大小："), 1, false, 7},
        {"needle straddling two characters", kAh + kAh, kOpenQuote, 1, false, -1},
        {"straddling bytes skipped, real character found", kAh + kAh + kOpenQuote, kOpenQuote, 1, false, 5},
        {"the walk begins at the start byte", kAh + kAh, kOpenQuote, 2, false, 2},
        {"ASCII-looking second byte is not a character",
         "\x81"
         "AA",
         "A", 1, false, 3},
        {"lead byte as last byte is found", "ab\xB0", "\xB0", 1, false, 3},
        {"needle ending in a lone lead byte", "ab\xB0", "b\xB0", 1, false, 2},
        {"needle reaching past a lone lead byte", "a\xB0", "\xB0\xA1", 1, false, -1},
        {"case differs", "Hello World", "WORLD", 1, false, -1},
        {"ignoreCase finds capitals as small letters", "Hello World", "WORLD", 1, true, 7},
        {"ignoreCase finds small letters as capitals", "xAbC", "abc", 1, true, 2},
        {"ignoreCase never folds bytes >= 0x80", "\xC1\xA1", "\xE1\xA1", 1, true, -1},
        {"ignoreCase with letters never folds bytes >= 0x80", "A\xC1\xA1", "a\xE1", 1, true, -1},
        {"ignoreCase keeps character boundaries",
         "\x81"
         "aA",
         "a", 1, true, 3},
        {"ignoreCase needle without letters", kAh + kAh + kOpenQuote, kOpenQuote, 1, true, 5},
        {"ignoreCase start beyond the length", "abc", "C", 4, true, -1},
    };
    for (const FindCase& c : cases) {
        EXPECT_EQ(FindText(c.text, c.needle, c.start, c.ignoreCase), c.expected) << c.name;
    }
}

TEST(TextPrimitivesTest, FindTextDefaultsSearchWholeTextCaseSensitively) {
    EXPECT_EQ(FindText("xAbab", "ab"), 4);
}

TEST(TextPrimitivesTest, FindLastTextCases) {
    const Text sevenBytes = "a\">b\">c";  // "\">" at positions 2 and 5
    const std::vector<FindCase> cases = {
        {"whole text", sevenBytes, "\">", -1, false, 5},
        {"start excludes an occurrence not ending before it", sevenBytes, "\">", 5, false, 2},
        {"start just after the last occurrence", sevenBytes, "\">", 7, false, 5},
        {"start cutting the last occurrence", sevenBytes, "\">", 6, false, 2},
        {"start one past the end", sevenBytes, "\">", 8, false, 5},
        {"start far beyond", sevenBytes, "\">", INT_MAX, false, 5},
        {"start 1 leaves no room", sevenBytes, "a", 1, false, -1},
        {"start 0 means the whole text", sevenBytes, "\">", 0, false, 5},
        {"most negative start means the whole text", sevenBytes, "\">", INT_MIN, false, 5},
        {"overlapping candidates count", "aaa", "aa", -1, false, 2},
        {"missing", sevenBytes, "<", -1, false, -1},
        {"empty needle", sevenBytes, "", -1, false, -1},
        {"empty text", "", "a", -1, false, -1},
        {"needle longer than the range", "abc", "abc", 3, false, -1},
        {"straddling bytes never count", kAh + kAh, kOpenQuote, -1, false, -1},
        {"straddling bytes after the real one", kOpenQuote + kAh + kAh, kOpenQuote, -1, false, 1},
        {"ignoreCase", "abcABCx", "abc", -1, true, 4},
        {"case-sensitive", "abcABCx", "abc", -1, false, 1},
        {"lone lead byte at the end",
         "a\xB0"
         "b\xB0",
         "\xB0", -1, false, 4},
    };
    for (const FindCase& c : cases) {
        EXPECT_EQ(FindLastText(c.text, c.needle, c.start, c.ignoreCase), c.expected) << c.name;
    }
}

struct CutCase {
    const char* name;
    Text actual;
    Text expected;
};

TEST(TextPrimitivesTest, LeftRightMidClip) {
    const std::vector<CutCase> cases = {
        {"left", TextLeft("abcdef", 2), "ab"},
        {"left all", TextLeft("abcdef", 6), "abcdef"},
        {"left beyond", TextLeft("abcdef", INT_MAX), "abcdef"},
        {"left zero", TextLeft("abcdef", 0), ""},
        {"left negative", TextLeft("abcdef", INT_MIN), ""},
        {"left of empty", TextLeft("", 3), ""},
        {"right", TextRight("abcdef", 2), "ef"},
        {"right beyond", TextRight("abcdef", INT_MAX), "abcdef"},
        {"right zero", TextRight("abcdef", 0), ""},
        {"right negative", TextRight("abcdef", -3), ""},
        {"mid", TextMid("abcdef", 2, 3), "bcd"},
        {"mid clipped at the end", TextMid("abcdef", 5, 10), "ef"},
        {"mid last byte", TextMid("abcdef", 6, 1), "f"},
        {"mid huge count", TextMid("abcdef", 3, INT_MAX), "cdef"},
        {"mid beyond the end", TextMid("abcdef", 7, 1), ""},
        {"mid far beyond", TextMid("abcdef", INT_MAX, INT_MAX), ""},
        {"mid position zero", TextMid("abcdef", 0, 2), ""},
        {"mid negative position", TextMid("abcdef", INT_MIN, 2), ""},
        {"mid zero count", TextMid("abcdef", 2, 0), ""},
        {"mid negative count", TextMid("abcdef", 2, -1), ""},
        {"bytes, not characters", TextLeft(kAh + kAh, 3), kAh + "\xB0"},
    };
    for (const CutCase& c : cases) {
        EXPECT_EQ(c.actual, c.expected) << c.name;
    }
}

struct ReplaceCase {
    const char* name;
    Text text;
    Text oldText;
    Text newText;
    int start;
    int count;
    bool caseSensitive;
    Text expected;
};

TEST(TextPrimitivesTest, ReplaceTextCases) {
    const std::vector<ReplaceCase> cases = {
        {"occurrences do not overlap", "aaaa", "aa", "b", 1, -1, true, "bb"},
        {"odd rest stays", "aaaaa", "aa", "b", 1, -1, true, "bba"},
        {"count limits the replacements", "aaaa", "aa", "b", 1, 1, true, "baa"},
        {"count 0 changes nothing", "aaaa", "aa", "b", 1, 0, true, "aaaa"},
        {"count beyond the occurrences", "abab", "b", "", 1, 9, true, "aa"},
        {"bytes before start are kept", "abab", "ab", "X", 3, -1, true, "abX"},
        {"start inside an occurrence", "abab", "ab", "X", 2, -1, true, "abX"},
        {"start beyond the end", "abab", "ab", "X", 5, -1, true, "abab"},
        {"start far beyond", "abab", "ab", "X", INT_MAX, -1, true, "abab"},
        {"start 0 counts from the first byte", "abab", "ab", "X", 0, -1, true, "XX"},
        {"negative start counts from the first byte", "abab", "ab", "X", INT_MIN, -1, true, "XX"},
        {"empty old", "abab", "", "X", 1, -1, true, "abab"},
        {"empty text", "", "a", "X", 1, -1, true, ""},
        {"old longer than the text", "ab", "abc", "X", 1, -1, true, "ab"},
        {"new contains old, no rescan", "ab", "a", "aa", 1, -1, true, "aab"},
        {"removal", "<b>x</b>", "<b>", "", 1, -1, true, "x</b>"},
        {"case folded", "<B>x<b>", "<b>", "", 1, -1, false, "x"},
        {"case-sensitive", "<B>x<b>", "<b>", "", 1, -1, true, "<B>x"},
        {"straddling bytes are not replaced", kAh + kAh, kOpenQuote, "X", 1, -1, true, kAh + kAh},
        {"real character replaced", kAh + kAh + kOpenQuote, kOpenQuote, "X", 1, -1, true, kAh + kAh + "X"},
        {"ASCII-looking second byte kept",
         "\x81"
         "AA",
         "A", "b", 1, -1, false,
         "\x81"
         "Ab"},
        {"lone lead byte at the end", "ab\xB0", "\xB0", "Z", 1, -1, true, "abZ"},
        {"old reaching past a lone lead byte", "a\xB0", "\xB0\xA1", "Z", 1, -1, true, "a\xB0"},
        {"walk resumes after the replaced text", "x" + kAh, "x\xB0", "", 1, -1, true, "\xA1"},
    };
    for (const ReplaceCase& c : cases) {
        EXPECT_EQ(ReplaceText(c.text, c.oldText, c.newText, c.start, c.count, c.caseSensitive), c.expected)
            << c.name;
    }
}

}  // namespace
}  // namespace fw
