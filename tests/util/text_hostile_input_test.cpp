// The text routines read untrusted pages. These tests run them over random texts, binary junk, huge texts
// and absurd positions, compare them with the character-by-character reference and check that every
// result is a piece of its input. Texts live in buffers of their exact size, so the address sanitizer
// reports any read past the end (a std::string would hide a one-byte over-read behind its terminator).

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "text_reference.h"
#include "util/text_markers.h"
#include "util/text_primitives.h"
#include "util/text_split.h"

namespace fw {
namespace {

class ExactBuffer {
  public:
    explicit ExactBuffer(std::string_view bytes) : bytes_(bytes.begin(), bytes.end()) {}
    std::string_view View() const { return {bytes_.data(), bytes_.size()}; }

  private:
    std::vector<char> bytes_;
};

class HostileInputTest : public ::testing::Test {
  protected:
    // Few distinct bytes, so that needles occur often, also across character boundaries: lead bytes,
    // letters in both cases (also as second bytes of characters), spaces and marker characters.
    Text RandomMarkupText(std::size_t length) {
        static constexpr unsigned char kAlphabet[] = {'a', 'A',  'b',  'B',  '<',  '>',  '"',  ' ',  ';',
                                                      '=', 0x80, 0x81, 0xA1, 0xB0, 0xC1, 0xE1, 0xFE, 0xA1};
        std::uniform_int_distribution<std::size_t> pick(0, sizeof(kAlphabet) - 1);
        Text text;
        for (std::size_t i = 0; i < length; ++i) {
            text.push_back(static_cast<char>(kAlphabet[pick(random_)]));
        }
        return text;
    }

    Text RandomJunk(std::size_t length) {
        std::uniform_int_distribution<int> byte(1, 255);
        Text text;
        for (std::size_t i = 0; i < length; ++i) {
            text.push_back(static_cast<char>(byte(random_)));
        }
        return text;
    }

    // Mostly a piece of the text (found somewhere, maybe not on a character start), sometimes new bytes.
    Text RandomNeedle(std::string_view text) {
        const std::size_t length = Between(1, 5);
        if (text.size() >= length && Between(0, 3) != 0) {
            return Text(text.substr(Between(0, text.size() - length), length));
        }
        return RandomMarkupText(length);
    }

    int RandomStart(std::size_t textLength) {
        const int length = static_cast<int>(textLength);
        const std::vector<int> starts = {INT_MIN, -1, 0, 1, 2, length, length + 1, length + 2, INT_MAX};
        if (Between(0, 1) == 0) {
            return starts[Between(0, starts.size() - 1)];
        }
        return static_cast<int>(Between(1, textLength + 1));
    }

    std::size_t Between(std::size_t low, std::size_t high) {
        return std::uniform_int_distribution<std::size_t>(low, high)(random_);
    }

    std::mt19937 random_{20240611};
};

bool IsPieceOf(std::string_view piece, std::string_view text) {
    return piece.empty() || text.find(piece) != std::string_view::npos;
}

TEST_F(HostileInputTest, SearchesAgreeWithTheCharacterWalk) {
    for (int round = 0; round < 20'000; ++round) {
        const ExactBuffer buffer(RandomMarkupText(Between(0, 40)));
        const std::string_view text = buffer.View();
        const Text needle = RandomNeedle(text);
        const int start = RandomStart(text.size());
        const bool ignoreCase = Between(0, 1) == 1;
        SCOPED_TRACE(::testing::Message()
                     << "round " << round << " start " << start << " ignoreCase " << ignoreCase);

        const int first = reference::Find(text, needle, start, ignoreCase);
        ASSERT_EQ(FindText(text, needle, start, ignoreCase), first);
        ASSERT_EQ(FindLastText(text, needle, start, ignoreCase),
                  reference::FindLast(text, needle, start, ignoreCase));
        ASSERT_EQ(TextLeftOf(text, needle, start, ignoreCase), first == -1 ? "" : TextLeft(text, first - 1));

        const int last = reference::FindLast(text, needle, start, ignoreCase);
        ASSERT_EQ(TextRightOfLast(text, needle, start, ignoreCase),
                  last == -1 ? "" : Text(text.substr(static_cast<std::size_t>(last) - 1 + needle.size())));
    }
}

TEST_F(HostileInputTest, ReplacementsAgreeWithTheCharacterWalk) {
    const std::vector<int> counts = {-1, 0, 1, 2, 5, INT_MAX, INT_MIN};
    for (int round = 0; round < 20'000; ++round) {
        const ExactBuffer buffer(RandomMarkupText(Between(0, 40)));
        const std::string_view text = buffer.View();
        const Text oldText = RandomNeedle(text);
        const Text newText = RandomMarkupText(Between(0, 3));
        const int start = RandomStart(text.size());
        const int count = counts[Between(0, counts.size() - 1)];
        const bool caseSensitive = Between(0, 1) == 1;
        SCOPED_TRACE(::testing::Message() << "round " << round << " start " << start << " count " << count);

        const Text expected = reference::Replace(text, oldText, newText, start, count, caseSensitive);
        ASSERT_EQ(ReplaceText(text, oldText, newText, start, count, caseSensitive), expected);
        ASSERT_EQ(
            ReplaceMany(text, oldText, newText, {}, {}, {}, {}, {}, {}, {}, {}, count, start, caseSensitive),
            expected);
    }
}

TEST_F(HostileInputTest, ExtractionAgreesWithTheCharacterWalk) {
    for (int round = 0; round < 20'000; ++round) {
        const ExactBuffer buffer(RandomMarkupText(Between(0, 60)));
        const std::string_view text = buffer.View();
        const Text left = RandomNeedle(text);
        const Text right = RandomNeedle(text);
        const int start = RandomStart(text.size());
        const bool ignoreCase = Between(0, 1) == 1;
        SCOPED_TRACE(::testing::Message()
                     << "round " << round << " start " << start << " ignoreCase " << ignoreCase);

        const TextList expected = reference::ExtractAllBetween(text, left, right, ignoreCase, start);
        TextList list;
        ASSERT_EQ(ExtractAllBetween(text, left, right, list, ignoreCase, 0, {}, {}, false, false, start),
                  static_cast<int>(expected.size()));
        ASSERT_EQ(list, expected);
        ASSERT_EQ(TextBetween(text, left, right, start, ignoreCase),
                  expected.empty() ? "" : expected.front());
    }
}

TEST_F(HostileInputTest, SplitPiecesJoinBackToTheText) {
    for (int round = 0; round < 20'000; ++round) {
        const ExactBuffer buffer(RandomMarkupText(Between(0, 40)));
        const std::string_view text = buffer.View();
        const Text separator = RandomNeedle(text);
        const TextList pieces = SplitText(text, separator);

        Text joined;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            joined += (i == 0 ? "" : separator) + pieces[i];
        }
        // Every separator found starts on a character of the walk from the end of the previous one.
        int from = 1;
        for (std::size_t i = 0; i + 1 < pieces.size(); ++i) {
            const int found = reference::Find(text, separator, from, false);
            ASSERT_EQ(found, from + static_cast<int>(pieces[i].size()));
            from = found + static_cast<int>(separator.size());
        }
        if (text.empty()) {
            ASSERT_TRUE(pieces.empty());
        } else if (joined != text) {
            ASSERT_EQ(joined + separator, text) << "round " << round;
        }
    }
}

// A needle that matches at every second byte, but only inside characters: each candidate fails the
// character check, which must not cost the needle length again and again.
TEST_F(HostileInputTest, LongNeedleMatchingOnlyInsideCharacters) {
    Text text = "\xB0";
    for (int i = 0; i < 20'000; ++i) {
        text += "x\xB0";
    }
    text += "x";
    Text needle;
    for (int i = 0; i < 300; ++i) {
        needle += "x\xB0";
    }
    needle += "x";
    const ExactBuffer buffer(text);
    EXPECT_EQ(FindText(buffer.View(), needle), -1);
    EXPECT_EQ(FindLastText(buffer.View(), needle), -1);
    EXPECT_EQ(ReplaceText(buffer.View(), needle, "", 1, -1, true), text);

    // The same bytes after one lone ASCII byte are on character starts.
    const Text shifted = "!" + needle + "!";
    const Text both = text + shifted;
    const ExactBuffer bothBuffer(both);
    EXPECT_EQ(FindText(bothBuffer.View(), needle), static_cast<int>(text.size()) + 2);
    EXPECT_EQ(FindLastText(bothBuffer.View(), needle), static_cast<int>(text.size()) + 2);
}

// Overlapping occurrences of a long needle everywhere: the last one is at the end, found in one pass.
TEST_F(HostileInputTest, LongNeedleOverlappingEverywhere) {
    const Text text(200'000, 'a');
    const Text needle(1'000, 'a');
    const ExactBuffer buffer(text);
    EXPECT_EQ(FindLastText(buffer.View(), needle), 200'000 - 1'000 + 1);
    EXPECT_EQ(FindLastText(buffer.View(), needle, 1'500), 500 - 1 + 1);
    EXPECT_EQ(FindLastText(buffer.View(), Text(1'000, 'A'), -1, true), 200'000 - 1'000 + 1);
    EXPECT_EQ(FindText(buffer.View(), Text(999, 'A') + "b", 1, true), -1);
    EXPECT_EQ(ReplaceText(buffer.View(), needle, "", 1, -1, true), "");
}

// The same long-needle shapes on random texts, checked against the reference.
TEST_F(HostileInputTest, LongNeedlesAgreeWithTheCharacterWalk) {
    for (int round = 0; round < 100; ++round) {
        const Text unit = RandomMarkupText(Between(1, 3));
        Text text;
        while (text.size() < 3'000) {
            text += Between(0, 50) == 0 ? RandomMarkupText(1) : unit;
        }
        const ExactBuffer buffer(text);
        const std::size_t needleLength = Between(60, 300);
        const Text needle = text.substr(Between(0, text.size() - needleLength), needleLength);
        const bool ignoreCase = Between(0, 1) == 1;
        const int start = static_cast<int>(Between(1, 50));
        SCOPED_TRACE(::testing::Message() << "round " << round);
        ASSERT_EQ(FindText(buffer.View(), needle, start, ignoreCase),
                  reference::Find(buffer.View(), needle, start, ignoreCase));
        ASSERT_EQ(FindLastText(buffer.View(), needle, -1, ignoreCase),
                  reference::FindLast(buffer.View(), needle, -1, ignoreCase));
        ASSERT_EQ(ReplaceText(buffer.View(), needle, "#", start, -1, !ignoreCase),
                  reference::Replace(buffer.View(), needle, "#", start, -1, !ignoreCase));
    }
}

TEST_F(HostileInputTest, BinaryJunkAndAbsurdArgumentsGiveBoundedResults) {
    const std::vector<int> numbers = {INT_MIN, -100, -1, 0, 1, 2, 3, 1000, INT_MAX};
    for (int round = 0; round < 3'000; ++round) {
        const ExactBuffer buffer(RandomJunk(Between(0, 300)));
        const std::string_view text = buffer.View();
        const int length = static_cast<int>(text.size());
        // Markers from the junk itself, random bytes, longer than the text or empty.
        const std::vector<Text> markers = {RandomNeedle(text), RandomJunk(Between(1, 4)), Text(text) + "x",
                                           Text(), Text(1, text.empty() ? 'x' : text.back())};
        const Text& marker = markers[Between(0, markers.size() - 1)];
        const Text& other = markers[Between(0, markers.size() - 1)];
        const int a = numbers[Between(0, numbers.size() - 1)];
        const int b = numbers[Between(0, numbers.size() - 1)];
        const bool flag = Between(0, 1) == 1;

        for (int position : {FindText(text, marker, a, flag), FindLastText(text, marker, a, flag)}) {
            if (position != -1) {
                ASSERT_FALSE(marker.empty());
                ASSERT_GE(position, 1);
                ASSERT_LE(position - 1 + static_cast<int>(marker.size()), length);
            }
        }
        ASSERT_LE(static_cast<int>(TextLeft(text, a).size()), length);
        ASSERT_TRUE(text.starts_with(TextLeft(text, a)));
        ASSERT_TRUE(text.ends_with(TextRight(text, a)));
        const Text middle = TextMid(text, a, b);
        ASSERT_TRUE(middle.empty() || text.substr(static_cast<std::size_t>(a) - 1).starts_with(middle));

        ASSERT_TRUE(text.starts_with(TextLeftOf(text, marker, a, flag)));
        ASSERT_TRUE(text.ends_with(TextRightOfLast(text, marker, a, flag)));
        ASSERT_TRUE(IsPieceOf(TextBetween(text, marker, other, a, flag), text));

        TextList list = {"stale"};
        const int count = ExtractAllBetween(text, marker, other, list, flag, b, {}, {}, false, false, a);
        ASSERT_EQ(count, static_cast<int>(list.size()));
        ASSERT_LE(list.size(), text.size());
        for (const Text& item : list) {
            ASSERT_TRUE(IsPieceOf(item, text));
            ASSERT_TRUE(b == 0 || static_cast<int>(item.size()) < b);
        }

        const Text replaced = ReplaceText(text, marker, other, a, b, flag);
        if (marker.empty() || b == 0) {
            ASSERT_EQ(replaced, text);
        }
        ASSERT_LE(replaced.size(),
                  text.size() / std::max<std::size_t>(marker.size(), 1) * other.size() + text.size());

        Text rejoined;
        for (const Text& piece : SplitText(text, marker)) {
            ASSERT_TRUE(IsPieceOf(piece, text));
            rejoined += piece;
        }
        ASSERT_LE(rejoined.size(), text.size());

        const Text trimmed = TrimSpaces(text);
        ASSERT_TRUE(IsPieceOf(trimmed, text));
        const Text withoutSpaces = RemoveSpaces(text);
        ASSERT_LE(withoutSpaces.size(), text.size());
        ASSERT_EQ(RemoveSpaces(withoutSpaces), withoutSpaces);
        ASSERT_EQ(TrimSpaces(trimmed), trimmed);
    }
}

TEST_F(HostileInputTest, LeadByteAsTheVeryLastByte) {
    for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
        const Text bytes = "ab;" + Text(1, static_cast<char>(lead));
        const ExactBuffer buffer(bytes);
        const std::string_view text = buffer.View();
        const Text leadOnly(1, static_cast<char>(lead));
        EXPECT_EQ(FindText(text, leadOnly), 4);
        EXPECT_EQ(FindText(text, leadOnly + "x"), -1);
        EXPECT_EQ(FindLastText(text, leadOnly, -1, true), 4);
        EXPECT_EQ(ReplaceText(text, "b", "c", 1, -1, false), "ac;" + leadOnly);
        EXPECT_EQ(ReplaceText(text, leadOnly, "", 1, -1, true), "ab;");
        EXPECT_EQ(TextRightOfLast(text, ";"), leadOnly);
        EXPECT_EQ(SplitText(text, ";"), (TextList{"ab", leadOnly}));
        EXPECT_EQ(TrimSpaces(text), bytes);
        EXPECT_EQ(RemoveSpaces(text), bytes);
        TextList list;
        EXPECT_EQ(ExtractAllBetween(text, ";", leadOnly, list), 1);
        EXPECT_EQ(list, TextList{""});
    }
}

TEST_F(HostileInputTest, MegabytesOfJunk) {
    // The first "!" may be the second byte of a character; the second one starts a character.
    const ExactBuffer buffer(RandomJunk(4u * 1024u * 1024u) + "!!END");
    const std::string_view text = buffer.View();
    const Text needle = "!END";
    const int expectedLast = reference::FindLast(text, needle, -1, false);
    ASSERT_EQ(expectedLast, static_cast<int>(text.size()) - 3);
    EXPECT_EQ(FindText(text, needle), reference::Find(text, needle, 1, false));
    EXPECT_EQ(FindLastText(text, needle), expectedLast);
    EXPECT_EQ(FindLastText(text, needle, -1, true), reference::FindLast(text, needle, -1, true));

    const Text left = Text(text.substr(1000, 1));
    const Text right = Text(text.substr(2000, 1));
    TextList list;
    const int count = ExtractAllBetween(text, left, right, list);
    EXPECT_EQ(list, reference::ExtractAllBetween(text, left, right, false, 1));
    EXPECT_EQ(count, static_cast<int>(list.size()));
    EXPECT_EQ(ReplaceText(text, right, "", 1, -1, false), reference::Replace(text, right, "", 1, -1, false));
    EXPECT_LE(RemoveSpaces(text).size(), text.size());
}

}  // namespace
}  // namespace fw
