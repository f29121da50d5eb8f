#include "util/text_primitives.h"

#include <string.h>  // memmem

#include <algorithm>
#include <climits>
#include <cstddef>
#include <string>
#include <vector>

namespace fw {
namespace {

constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

// Positions are ints counted from 1, so only this many bytes of a text can be searched. Pages are far
// smaller (a page body is capped at 16 MiB); the limit only keeps the arithmetic sound.
constexpr std::size_t kMaxSearchBytes = static_cast<std::size_t>(INT_MAX) - 1;

std::string_view WithinPositionRange(std::string_view text) {
    return text.substr(0, kMaxSearchBytes);
}

unsigned char ByteAt(std::string_view text, std::size_t index) {
    return static_cast<unsigned char>(text[index]);
}

unsigned char FoldCase(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

bool HasAsciiLetter(std::string_view text) {
    for (char c : text) {
        const unsigned char folded = FoldCase(static_cast<unsigned char>(c));
        if (folded >= 'a' && folded <= 'z') {
            return true;
        }
    }
    return false;
}

// Answers "does this candidate begin a character?" for a scan that started at a known character start,
// without walking every byte from there. Any byte below 0x80 ends a character (it is either a character
// of its own or the second byte of one), so only the run of bytes >= 0x80 just before the candidate
// matters: those bytes pair up into characters, and the candidate begins one when the run is even.
// Candidates must come in increasing order; the known start moves up with them, so each byte is looked
// at a bounded number of times and the whole scan stays linear.
class CharacterStarts {
  public:
    CharacterStarts(std::string_view text, std::size_t scanStart) : text_(text), knownStart_(scanStart) {}

    bool IsStart(std::size_t position) {
        if (position < knownStart_) {
            return false;  // the second byte of the character the previous candidate fell into
        }
        std::size_t runStart = position;
        while (runStart > knownStart_ && ByteAt(text_, runStart - 1) >= 0x80) {
            --runStart;
        }
        const bool isStart = (position - runStart) % 2 == 0;
        // A position that is not a start is the second byte of a character, so the next byte starts one.
        knownStart_ = isStart ? position : position + 1;
        return isStart;
    }

  private:
    std::string_view text_;
    std::size_t knownStart_;
};

// One needle, searched for in one text or several. Occurrences are reported only where they begin on a
// character start of the walk from the search start, as every text routine of the program requires.
//
// The common case (case-sensitive) finds candidates with memmem and then checks the character start.
// When candidates keep failing that check, or the scan reports many overlapping occurrences, repeated
// memmem calls would cost the needle length each time; the scan then switches to a single
// Knuth-Morris-Pratt pass, which is linear whatever the text. Searches that ignore letter case use that
// pass from the start on folded bytes.
class NeedleSearch {
  public:
    NeedleSearch(std::string_view needle, bool ignoreCase)
        : needle_(needle), ignoreCase_(ignoreCase && HasAsciiLetter(needle)) {}

    // The first occurrence at or after `from` (0-based), or kNotFound.
    std::size_t FindFirst(std::string_view text, std::size_t from) {
        std::size_t found = kNotFound;
        Scan(text, from, [&found](std::size_t position) {
            found = position;
            return true;
        });
        return found;
    }

    // The last occurrence in the whole of `text`, overlapping candidates included.
    std::size_t FindLast(std::string_view text) {
        std::size_t found = kNotFound;
        Scan(text, 0, [&found](std::size_t position) {
            found = position;
            return false;
        });
        return found;
    }

  private:
    // Calls onMatch(position) for every occurrence in increasing order until it returns true.
    template <class OnMatch>
    void Scan(std::string_view text, std::size_t from, OnMatch onMatch) {
        const std::size_t needleLength = needle_.size();
        if (needleLength == 0 || from >= text.size() || text.size() - from < needleLength) {
            return;
        }
        CharacterStarts starts(text, from);
        if (ignoreCase_) {
            ScanFolded(text, from, starts, onMatch);
            return;
        }
        // Work that memmem repeats per call (set-up and the final compare), allowed up to a multiple of
        // the distance covered so far before switching to the single linear pass.
        constexpr std::size_t kSlack = 4096;
        std::size_t repeatedWork = 0;
        std::size_t position = from;
        while (text.size() - position >= needleLength) {
            const char* hit = FindBytes(text, position);
            if (hit == nullptr) {
                return;
            }
            const std::size_t candidate = static_cast<std::size_t>(hit - text.data());
            if (starts.IsStart(candidate) && onMatch(candidate)) {
                return;
            }
            position = candidate + 1;
            repeatedWork += needleLength;
            if (repeatedWork > 2 * (position - from) + kSlack) {
                ScanFolded(text, position, starts, onMatch);
                return;
            }
        }
    }

    // memmem over the whole rest of a large page on every call would make the sanitizers check that
    // whole rest each time (they cannot know how far memmem read), which turns a page of many results
    // quadratic under test. Windows that double on each miss keep every call near the distance to its hit.
    const char* FindBytes(std::string_view text, std::size_t position) const {
        std::size_t window = 4096;
        while (true) {
            const std::size_t remaining = text.size() - position;
            const std::size_t span = std::min(remaining, window + needle_.size() - 1);
            const void* hit = memmem(text.data() + position, span, needle_.data(), needle_.size());
            if (hit != nullptr) {
                return static_cast<const char*>(hit);
            }
            if (span == remaining) {
                return nullptr;
            }
            position += window;  // every start before it has been tried
            window = std::min(window * 2, std::size_t{1} << 24);
        }
    }

    template <class OnMatch>
    void ScanFolded(std::string_view text, std::size_t from, CharacterStarts& starts, OnMatch onMatch) {
        PrepareFolded();
        const std::size_t needleLength = folded_.size();
        std::size_t matched = 0;
        for (std::size_t index = from; index < text.size(); ++index) {
            const unsigned char byte = Fold(ByteAt(text, index));
            while (matched > 0 && static_cast<unsigned char>(folded_[matched]) != byte) {
                matched = fallback_[matched - 1];
            }
            if (static_cast<unsigned char>(folded_[matched]) == byte) {
                ++matched;
            }
            if (matched == needleLength) {
                const std::size_t candidate = index + 1 - needleLength;
                if (starts.IsStart(candidate) && onMatch(candidate)) {
                    return;
                }
                matched = fallback_[needleLength - 1];
            }
        }
    }

    unsigned char Fold(unsigned char byte) const { return ignoreCase_ ? FoldCase(byte) : byte; }

    // The folded needle and, for each prefix, the length of its longest proper border.
    void PrepareFolded() {
        if (!fallback_.empty()) {
            return;
        }
        folded_.assign(needle_);
        for (char& c : folded_) {
            c = static_cast<char>(Fold(static_cast<unsigned char>(c)));
        }
        fallback_.assign(folded_.size(), 0);
        std::size_t border = 0;
        for (std::size_t index = 1; index < folded_.size(); ++index) {
            while (border > 0 && folded_[index] != folded_[border]) {
                border = fallback_[border - 1];
            }
            if (folded_[index] == folded_[border]) {
                ++border;
            }
            fallback_[index] = border;
        }
    }

    std::string_view needle_;
    bool ignoreCase_;
    std::string folded_;
    std::vector<std::size_t> fallback_;
};

}  // namespace

int FindText(std::string_view text, std::string_view needle, int start, bool ignoreCase) {
    text = WithinPositionRange(text);
    if (needle.empty() || text.empty()) {
        return -1;
    }
    const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (from >= text.size()) {
        return -1;
    }
    const std::size_t found = NeedleSearch(needle, ignoreCase).FindFirst(text, from);
    return found == kNotFound ? -1 : static_cast<int>(found + 1);
}

int FindLastText(std::string_view text, std::string_view needle, int start, bool ignoreCase) {
    text = WithinPositionRange(text);
    if (start >= 1 && static_cast<std::size_t>(start) - 1 < text.size()) {
        text = text.substr(0, static_cast<std::size_t>(start) - 1);
    }
    if (needle.empty() || needle.size() > text.size()) {
        return -1;
    }
    const std::size_t found = NeedleSearch(needle, ignoreCase).FindLast(text);
    return found == kNotFound ? -1 : static_cast<int>(found + 1);
}

Text TextLeft(std::string_view text, int n) {
    if (n <= 0) {
        return {};
    }
    return Text(text.substr(0, static_cast<std::size_t>(n)));
}

Text TextRight(std::string_view text, int n) {
    if (n <= 0) {
        return {};
    }
    const std::size_t keep = std::min(static_cast<std::size_t>(n), text.size());
    return Text(text.substr(text.size() - keep));
}

Text TextMid(std::string_view text, int position, int n) {
    if (position < 1 || n <= 0 || static_cast<std::size_t>(position) > text.size()) {
        return {};
    }
    return Text(text.substr(static_cast<std::size_t>(position) - 1, static_cast<std::size_t>(n)));
}

Text ReplaceText(std::string_view text, std::string_view oldText, std::string_view newText, int start,
                 int count, bool caseSensitive) {
    const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (text.empty() || oldText.empty() || count == 0 || from >= text.size()) {
        return Text(text);
    }
    NeedleSearch search(oldText, !caseSensitive);
    Text result;
    result.reserve(text.size());
    result.append(text.substr(0, from));
    std::size_t position = from;
    for (long long made = 0; count < 0 || made < count; ++made) {
        const std::size_t found = search.FindFirst(text, position);
        if (found == kNotFound) {
            break;
        }
        result.append(text.substr(position, found - position));
        result.append(newText);
        position = found + oldText.size();
    }
    result.append(text.substr(position));
    return result;
}

}  // namespace fw
