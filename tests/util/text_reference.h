#pragma once

// Slow, obviously correct versions of the text primitives, walking one character at a time exactly as
// the routines are defined. The tests compare the fast routines with these on random and hostile input.

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "util/types.h"

namespace fw::reference {

inline std::size_t CharacterLength(std::string_view text, std::size_t index) {
    return static_cast<unsigned char>(text[index]) >= 0x80 ? 2 : 1;
}

inline bool MatchesAt(std::string_view text, std::size_t index, std::string_view needle, bool ignoreCase) {
    auto fold = [ignoreCase](char c) {
        return (ignoreCase && c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
    };
    for (std::size_t k = 0; k < needle.size(); ++k) {
        if (fold(text[index + k]) != fold(needle[k])) {
            return false;
        }
    }
    return true;
}

inline int Find(std::string_view text, std::string_view needle, int start, bool ignoreCase) {
    if (needle.empty()) {
        return -1;
    }
    std::size_t index = start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
    while (index < text.size() && text.size() - index >= needle.size()) {
        if (MatchesAt(text, index, needle, ignoreCase)) {
            return static_cast<int>(index) + 1;
        }
        index += CharacterLength(text, index);
    }
    return -1;
}

inline int FindLast(std::string_view text, std::string_view needle, int start, bool ignoreCase) {
    std::size_t end = text.size();
    if (start >= 1 && static_cast<std::size_t>(start) - 1 < end) {
        end = static_cast<std::size_t>(start) - 1;
    }
    if (needle.empty()) {
        return -1;
    }
    int last = -1;
    for (std::size_t index = 0; index < end && end - index >= needle.size();
         index += CharacterLength(text, index)) {
        if (MatchesAt(text, index, needle, ignoreCase)) {
            last = static_cast<int>(index) + 1;
        }
    }
    return last;
}

inline Text Replace(std::string_view text, std::string_view oldText, std::string_view newText, int start,
                    int count, bool caseSensitive) {
    std::size_t index = start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (text.empty() || oldText.empty() || count == 0 || index >= text.size()) {
        return Text(text);
    }
    Text result(text.substr(0, index));
    int made = 0;
    while (index < text.size()) {
        if ((count < 0 || made < count) && text.size() - index >= oldText.size() &&
            MatchesAt(text, index, oldText, !caseSensitive)) {
            result.append(newText);
            index += oldText.size();
            ++made;
            continue;
        }
        const std::size_t length = std::min(CharacterLength(text, index), text.size() - index);
        result.append(text.substr(index, length));
        index += length;
    }
    return result;
}

// Items between the markers with the default options apart from `ignoreCase` and `start`.
inline TextList ExtractAllBetween(std::string_view text, std::string_view left, std::string_view right,
                                  bool ignoreCase, int start) {
    TextList items;
    if (left.empty() || right.empty()) {
        return items;
    }
    int from = start;
    for (;;) {
        const int leftPos = Find(text, left, from, ignoreCase);
        if (leftPos == -1) {
            break;
        }
        from = leftPos + static_cast<int>(left.size());
        const int rightPos = Find(text, right, from, ignoreCase);
        if (rightPos == -1) {
            break;
        }
        items.emplace_back(
            text.substr(static_cast<std::size_t>(from) - 1, static_cast<std::size_t>(rightPos - from)));
    }
    return items;
}

}  // namespace fw::reference
