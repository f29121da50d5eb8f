#include "util/text_markers.h"

#include <cstddef>
#include <utility>

#include "util/code_page.h"
#include "util/text_primitives.h"

namespace fw {
namespace {

// Whether walking `marker` character by character ends exactly at its end, i.e. it does not stop on the
// first byte of a two-byte character whose second byte would lie beyond it.
bool EndsOnCharacterStart(std::string_view marker) {
    std::size_t index = 0;
    while (index < marker.size()) {
        index += static_cast<unsigned char>(marker[index]) >= 0x80 ? 2 : 1;
    }
    return index == marker.size();
}

std::size_t ToIndex(int position) {
    return static_cast<std::size_t>(position) - 1;
}

// Overlapping items can make the list far larger than the page; a crafted page must not exhaust memory.
// Each item counts its bytes plus the bookkeeping of one list entry.
constexpr std::size_t kMaxExtractedBytes = 64u * 1024u * 1024u;

}  // namespace

int ExtractAllBetween(std::string_view text, std::string_view left, std::string_view right, TextList& list,
                      bool ignoreCase, int maxLength, std::string_view prefix, std::string_view suffix,
                      bool withLeft, bool withRight, int start) {
    list.clear();
    if (left.empty() || right.empty()) {
        return 0;
    }
    // Items may overlap, so a page crafted with thousands of left markers before one right marker would
    // make every search for the right marker run to that same place. The right marker found for the
    // previous item is still the first one after the next left marker when it lies beyond it and the
    // search resumes on the same character walk (always, unless the left marker ends in half a character).
    const bool rightStaysValid = EndsOnCharacterStart(left);
    const std::size_t fixedLength =
        prefix.size() + suffix.size() + (withLeft ? left.size() : 0) + (withRight ? right.size() : 0);
    std::size_t listBytes = 0;
    int rightPos = -1;
    int searchFrom = start;
    for (;;) {
        const int leftPos = FindText(text, left, searchFrom, ignoreCase);
        if (leftPos == -1) {
            break;
        }
        searchFrom = leftPos + static_cast<int>(left.size());
        if (!(rightStaysValid && rightPos >= searchFrom)) {
            rightPos = FindText(text, right, searchFrom, ignoreCase);
        }
        if (rightPos == -1) {
            break;
        }
        const std::string_view between =
            text.substr(ToIndex(searchFrom), ToIndex(rightPos) - ToIndex(searchFrom));
        const std::size_t itemLength = fixedLength + between.size();
        if (maxLength != 0 && !(maxLength > 0 && itemLength < static_cast<std::size_t>(maxLength))) {
            continue;
        }
        listBytes += itemLength + sizeof(Text);
        if (listBytes > kMaxExtractedBytes) {
            break;
        }
        Text item;
        item.reserve(itemLength);
        if (withLeft) {
            item.append(left);
        }
        item.append(prefix);
        item.append(between);
        item.append(suffix);
        if (withRight) {
            item.append(right);
        }
        list.push_back(std::move(item));
    }
    return static_cast<int>(list.size());
}

Text TextLeftOf(std::string_view text, std::string_view marker, int start, bool ignoreCase) {
    const int position = FindText(text, marker, start, ignoreCase);
    if (position == -1) {
        return {};
    }
    return TextLeft(text, position - 1);
}

Text TextBetween(std::string_view text, std::string_view left, std::string_view right, int start,
                 bool ignoreCase) {
    // The GBK form of the placeholder that lets a marker stand for a double quote without containing one.
    static const Text kQuotePlaceholder = Utf8ToGbk("#引号");
    const Text leftMarker = ReplaceText(left, kQuotePlaceholder, "\"", 1, -1, true);
    const Text rightMarker = ReplaceText(right, kQuotePlaceholder, "\"", 1, -1, true);
    const int leftPos = FindText(text, leftMarker, start, ignoreCase);
    if (leftPos == -1) {
        return {};
    }
    const int from = leftPos + static_cast<int>(leftMarker.size());
    const int rightPos = FindText(text, rightMarker, from, ignoreCase);
    if (rightPos == -1) {
        return {};
    }
    return Text(text.substr(ToIndex(from), ToIndex(rightPos) - ToIndex(from)));
}

Text ReplaceMany(std::string_view text, std::string_view old1, std::string_view new1, std::string_view old2,
                 std::string_view new2, std::string_view old3, std::string_view new3, std::string_view old4,
                 std::string_view new4, std::string_view old5, std::string_view new5, int count, int start,
                 bool caseSensitive) {
    Text result = ReplaceText(text, old1, new1, start, count, caseSensitive);
    result = ReplaceText(result, old2, new2, start, count, caseSensitive);
    result = ReplaceText(result, old3, new3, start, count, caseSensitive);
    result = ReplaceText(result, old4, new4, start, count, caseSensitive);
    return ReplaceText(result, old5, new5, start, count, caseSensitive);
}

Text TextRightOfLast(std::string_view text, std::string_view marker, int start, bool ignoreCase) {
    const int position = FindLastText(text, marker, start, ignoreCase);
    if (position == -1) {
        return {};
    }
    return Text(text.substr(ToIndex(position) + marker.size()));
}

}  // namespace fw
