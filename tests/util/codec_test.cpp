#include "util/codec.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <string>

#include "util/code_page.h"

namespace fw {
namespace {

using namespace std::string_literals;

struct HexCase {
    std::string text;
    std::uint64_t value;
};

TEST(HexToInt64, ReadsTheLastSixteenHexDigitsAndSkipsOtherCharacters) {
    const HexCase cases[] = {
        {"", 0},
        {"ff", 255},
        {"0x1F", 31},
        {"FfFf", 0xFFFF},
        {"zz", 0},
        {"g-1 2", 0x12},
        {"FFFFFFFFFFFFFFFF", 0xFFFFFFFFFFFFFFFFu},
        {"10123456789abcdef", 0x0123456789ABCDEFu},  // 17 digits: the first is dropped
        {"12-34-56-78-9a-bc-de-f0-ff", 0x3456789ABCDEF0FFu},
    };
    for (const HexCase& c : cases) {
        EXPECT_EQ(HexToInt64(c.text), c.value) << c.text;
    }
}

TEST(HexToBytes, ReadsPairsAndAnOddEnd) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},       {"4a4B", "\x4A\x4B"}, {"0A1", "\x0A\x01"}, {"fff", "\xFF\x0F"}, {"zz41", "\x00\x41"s},
        {"x1", "\x01"}, {"1x", "\x01"},
    };
    for (const auto& [text, bytes] : cases) {
        EXPECT_EQ(HexToBytes(text), bytes) << text;
    }
}

TEST(Md5Hex, GivesTheStandardDigests) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
        {"\0"s, "93b885adfe0da089cdf634904fd59f71"},
        {std::string(1000000, 'a'), "7707d6ae4e027c70eea2a935c2296f21"},
    };
    for (const auto& [bytes, digest] : cases) {
        EXPECT_EQ(Md5Hex(bytes), digest) << bytes.substr(0, 20);
    }
}

TEST(Md5Hex, UpperCaseAndShortFormAreViewsOfTheSameDigest) {
    EXPECT_EQ(Md5Hex("abc", true), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(Md5Hex("abc", false, true), "3cd24fb0d6963f7d");
    EXPECT_EQ(Md5Hex("abc", true, true), "3CD24FB0D6963F7D");
}

// Eleven bytes, some of them not printable, as the program keeps its own key.
const std::string kKey = "\x01K\x7F\x80z\xFE\x1F!\x9C\x05q";

TEST(HiddenText, HideAndRevealRoundTrip) {
    ASSERT_EQ(kKey.size(), 11u);
    const std::string plains[] = {"http://127.0.0.1:8080/update/check.php", "a", "\xFF\x01",
                                  Utf8ToGbk("更新服务")};
    for (const std::string& plain : plains) {
        const Text hidden = HideText(plain, kKey);
        EXPECT_EQ(hidden.size(), plain.size() * 2 + 9);
        EXPECT_EQ(RevealText(hidden, kKey), plain);
    }
}

TEST(HiddenText, HexPartIsUpperCaseMaskedBytesAndCheckComesFromTheKeyDigest) {
    const std::string plain = "ABCxyz/:";
    const Text hidden = HideText(plain, kKey);
    const std::string check = hidden.substr(hidden.size() - 9);
    EXPECT_EQ(check, Md5Hex(kKey, true).substr(2, 9));

    const std::string hexPart = hidden.substr(0, hidden.size() - 9);
    for (const char c : hexPart) {
        EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << hexPart;
    }
    // One mask byte for every position, and not the zero byte: the plain text must not show through.
    const Bytes masked = HexToBytes(hexPart);
    ASSERT_EQ(masked.size(), plain.size());
    const unsigned char mask = static_cast<unsigned char>(masked[0]) ^ static_cast<unsigned char>(plain[0]);
    EXPECT_NE(mask, 0);
    for (std::size_t i = 0; i < plain.size(); ++i) {
        EXPECT_EQ(static_cast<unsigned char>(masked[i]) ^ static_cast<unsigned char>(plain[i]), mask) << i;
    }
}

TEST(HiddenText, RevealFailsOnAWrongKeyOrABrokenCheck) {
    const Text hidden = HideText("http://h/x", kKey);
    std::string otherKey = kKey;
    otherKey[10] = 'r';
    EXPECT_EQ(RevealText(hidden, otherKey), "");
    EXPECT_EQ(RevealText(hidden, ""), "");

    std::string tampered = hidden;
    tampered.back() = tampered.back() == '0' ? '1' : '0';
    EXPECT_EQ(RevealText(tampered, kKey), "");
    EXPECT_EQ(RevealText(hidden + "0", kKey), "");

    const std::string check = hidden.substr(hidden.size() - 9);
    std::string lowered = hidden;
    for (char& c : lowered) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (lowered.substr(lowered.size() - 9) != check) {
        EXPECT_EQ(RevealText(lowered, kKey), "") << "the check is compared in upper case";
    }
}

TEST(HiddenText, RevealOfTextsShorterThanTheCheckIsEmpty) {
    const std::string check = Md5Hex(kKey, true).substr(2, 9);
    for (std::size_t length = 0; length < 9; ++length) {
        EXPECT_EQ(RevealText(check.substr(0, length), kKey), "") << length;
        EXPECT_EQ(RevealText(check.substr(9 - length), kKey), "") << length;
    }
    EXPECT_EQ(RevealText(check, kKey), "");  // the check alone hides the empty text
}

TEST(HiddenText, OddLengthHexEndsInASingleDigitByte) {
    const std::string check = Md5Hex(kKey, true).substr(2, 9);
    const Text odd = RevealText(
        "4142"
        "3" +
            check,
        kKey);
    const Text padded = RevealText(
        "4142"
        "03" +
            check,
        kKey);
    EXPECT_EQ(odd.size(), 3u);
    EXPECT_EQ(odd, padded);
}

TEST(Base64Encode, MatchesTheStandardVectors) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {"\xFF\xFE\x00"s, "//4A"},
        {"\xFB\xFF", "+/8="},
        {"user:pa\xD6\xD0", "dXNlcjpwYdbQ"},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(Base64Encode(bytes), text) << bytes;
    }
}

TEST(Base64Encode, LongInputHasNoLineBreaks) {
    const Text encoded = Base64Encode(std::string(100, 'x'));
    EXPECT_EQ(encoded.size(), 136u);
    EXPECT_EQ(encoded.find('\n'), std::string::npos);
    EXPECT_EQ(encoded.find('\r'), std::string::npos);
}

TEST(UrlDecode, DecodesEscapesAndLeavesBrokenOnesAlone) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"a%2Fb+c", "a/b+c"},
        {"%41%4a%4A", "AJJ"},
        {"%", "%"},
        {"abc%", "abc%"},
        {"%4", "%4"},
        {"%G1", "%G1"},
        {"%4G", "%4G"},
        {"%%41", "%A"},
        {"100%%", "100%%"},
        {"%00x", "%00x"},
        {"%E4%B8%AD", "\xE4\xB8\xAD"},
        {"%7b%22a%22%3a1%7d", "{\"a\":1}"},
    };
    for (const auto& [text, decoded] : cases) {
        EXPECT_EQ(UrlDecode(text, false), decoded) << text;
    }
}

TEST(UrlDecode, WithUtf8ConvertsTheResultToGbk) {
    EXPECT_EQ(UrlDecode("%E4%B8%AD", true), "\xD6\xD0");  // 中
    EXPECT_EQ(UrlDecode("a%2Fb+c", true), "a/b+c");
    EXPECT_EQ(UrlDecode("%7B%22msg%22%3A%22%E6%9B%B4%E6%96%B0%22%7D", true), Utf8ToGbk("{\"msg\":\"更新\"}"));
}

TEST(UrlDecode, NeverReadsPastTheEndOfItsText) {
    // The bytes after the view hold a valid escape: a decoder that reads past the end would use them.
    const std::string buffer = "x%41";
    EXPECT_EQ(UrlDecode(std::string_view(buffer.data(), 3), false), "x%4");
    EXPECT_EQ(UrlDecode(std::string_view(buffer.data(), 2), false), "x%");
}

}  // namespace
}  // namespace fw
