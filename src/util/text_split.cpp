#include "util/text_split.h"

#include <cstddef>

#include "util/text_primitives.h"

namespace fw {
namespace {

// Length of the character at `index` (a lead byte at the very end stands alone), and whether it is a
// space: 0x20 or the ideographic space 0xA1 0xA1.
struct Character {
    std::size_t length;
    bool isSpace;
};

Character CharacterAt(std::string_view text, std::size_t index) {
    const auto byte = static_cast<unsigned char>(text[index]);
    if (byte < 0x80) {
        return {1, byte == ' '};
    }
    if (index + 1 >= text.size()) {
        return {1, false};
    }
    return {2, byte == 0xA1 && static_cast<unsigned char>(text[index + 1]) == 0xA1};
}

}  // namespace

TextList SplitText(std::string_view text, std::string_view separator) {
    TextList pieces;
    if (text.empty()) {
        return pieces;
    }
    if (separator.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    std::size_t pieceStart = 0;
    for (;;) {
        const int found = FindText(text, separator, static_cast<int>(pieceStart) + 1);
        if (found == -1) {
            break;
        }
        const std::size_t separatorIndex = static_cast<std::size_t>(found) - 1;
        pieces.emplace_back(text.substr(pieceStart, separatorIndex - pieceStart));
        pieceStart = separatorIndex + separator.size();
    }
    if (pieceStart < text.size()) {
        pieces.emplace_back(text.substr(pieceStart));
    }
    return pieces;
}

Text TrimSpaces(std::string_view text) {
    std::size_t first = text.size();
    std::size_t end = 0;
    for (std::size_t index = 0; index < text.size();) {
        const Character character = CharacterAt(text, index);
        if (!character.isSpace) {
            if (first == text.size()) {
                first = index;
            }
            end = index + character.length;
        }
        index += character.length;
    }
    if (first >= end) {
        return {};
    }
    return Text(text.substr(first, end - first));
}

Text RemoveSpaces(std::string_view text) {
    Text result;
    result.reserve(text.size());
    for (std::size_t index = 0; index < text.size();) {
        const Character character = CharacterAt(text, index);
        if (!character.isSpace) {
            result.append(text.substr(index, character.length));
        }
        index += character.length;
    }
    return result;
}

}  // namespace fw
