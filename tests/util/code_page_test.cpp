#include "util/code_page.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

struct ConversionCase {
    const char* what;
    std::string utf8;
    std::string gbk;
};

// Pairs that convert both ways, byte for byte as code page 936 gives them.
const ConversionCase kRoundTrips[] = {
    {"empty", "", ""},
    {"ASCII", "abc 123 <a href=\"x\">", "abc 123 <a href=\"x\">"},
    {"euro sign at 0x80", "\xE2\x82\xAC", "\x80"},
    {"ideographic space", "\xE3\x80\x80", "\xA1\xA1"},
    {"Chinese", "流浪地球", "\xC1\xF7\xC0\xCB\xB5\xD8\xC7\xF2"},
    {"full-width colon", "：", "\xA3\xBA"},
    {"middle dot", "\xC2\xB7", "\xA1\xA4"},
    {"em dash", "\xE2\x80\x94", "\xA1\xAA"},
};

TEST(CodePage, ConvertsBothWaysAsCodePage936) {
    for (const ConversionCase& c : kRoundTrips) {
        EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk) << c.what;
        EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8) << c.what;
    }
}

TEST(CodePage, CharactersGbkLacksBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToGbk("1.5\xEA\xB0\x80GB"), "1.5?GB");  // a Hangul syllable
    EXPECT_EQ(Utf8ToGbk("\xE3\x83\xBB"), "?");            // katakana middle dot
}

TEST(CodePage, InvalidUtf8BecomesSubstitutesWithoutLosingTheRest) {
    EXPECT_EQ(Utf8ToGbk("a\xFF"
                        "b"),
              "a?b");
    EXPECT_EQ(Utf8ToGbk("a\xC3(b"), "a?(b");
    EXPECT_EQ(Utf8ToGbk("\xE6\xB5"), "?");  // a character cut short at the end
    EXPECT_EQ(Utf8ToGbk("\xED\xA0\x80x"),
              Utf8ToGbk("\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBDx"));  // surrogate bytes
}

TEST(CodePage, TextsEndAtTheirFirstZeroByte) {
    EXPECT_EQ(Utf8ToGbk(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(GbkToUtf8(std::string("\xD6\xD0\0x", 4)), "中");
}

TEST(CodePage, GbkBytesThatAreNoCharacterDoNotStopTheConversion) {
    const std::string converted = GbkToUtf8(std::string("a\x81 b\xFF", 5));
    EXPECT_EQ(converted.substr(0, 1), "a");
    EXPECT_NE(converted.find(" b"), std::string::npos);
    // A lead byte as the very last byte.
    EXPECT_EQ(GbkToUtf8("x\xD6").substr(0, 1), "x");
}

TEST(CodePage, WideConversionsHonourTheirCodePages) {
    EXPECT_EQ(TextToWide("\xD6\xD0", kCodePageGbk), u"中");
    EXPECT_EQ(TextToWide("\xD6\xD0", kCodePageAnsi), u"中");
    EXPECT_EQ(TextToWide("中"), u"中");
    EXPECT_EQ(WideToText(u"中", kCodePageUtf8), "中");
    EXPECT_EQ(WideToText(u"中"), "\xD6\xD0");  // the ANSI code page is GBK here
    EXPECT_EQ(TextToWide("abc", 1252), u"");   // a code page the program never uses
    EXPECT_EQ(WideToText(std::u16string(u"a\0b", 3), kCodePageGbk), "a");
}

struct EncodeCase {
    std::string text;
    bool keepPlain;
    bool toUtf8;
    std::string encoded;
};

TEST(UrlEncode, WritesEveryByteAsTwoCapitalHexDigits) {
    const EncodeCase cases[] = {
        {"", false, false, ""},
        {"", true, true, ""},
        {"abc", false, false, "%61%62%63"},
        {"abc", true, false, "abc"},
        {"a-b.c_d~e/f g", true, false, "a-b.c%5Fd%7Ee%2Ff%20g"},
        {"Z09", true, false, "Z09"},
        {"\t", false, false, "%09"},
        {"\xE6", false, false, "%E6"},
        {"abc", false, true, "%61%62%63"},
        {"\xC1\xF7\xC0\xCB\xB5\xD8\xC7\xF2", false, true, "%E6%B5%81%E6%B5%AA%E5%9C%B0%E7%90%83"},
        {"\xC1\xF7", false, false, "%C1%F7"},
        {"abc ", false, true, "%61%62%63%20"},
    };
    for (const EncodeCase& c : cases) {
        EXPECT_EQ(UrlEncode(c.text, c.keepPlain, c.toUtf8), c.encoded) << c.text;
    }
}

TEST(CodePage, LargeAndJunkInputsConvertWithoutHarm) {
    std::string junk(1 << 20, '\0');
    unsigned state = 12345;
    for (char& c : junk) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(((state >> 16) & 0xFF) | 1);  // never a zero byte
    }
    const std::string gbk = Utf8ToGbk(junk);
    EXPECT_LE(gbk.size(), junk.size() * 2);
    EXPECT_EQ(gbk.find('\0'), std::string::npos);
    const std::string utf8 = GbkToUtf8(junk);
    EXPECT_LE(utf8.size(), junk.size() * 3);
    EXPECT_EQ(Utf8ToGbk(GbkToUtf8(Utf8ToGbk(utf8))), Utf8ToGbk(utf8));
}

}  // namespace
}  // namespace fw
