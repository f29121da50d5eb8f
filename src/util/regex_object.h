#pragma once

// One regular expression run over one text, its matches handed out one at a time. The page readers use it
// to pick result entries and board fields out of whole pages.
//
// The dialect is the one of the JavaScript-style engines the page patterns were written for: greedy and
// lazy quantifiers, "." matching any character except "\n", character classes, groups, back references
// (one to a group that has not matched matches the empty text), lookahead, "[]" never matching and "[^]"
// matching any character, "\uhhhh" and "\xhh" escapes, an unknown escape standing for its letter. Matching
// works on characters, not bytes: the GBK pattern and subject are read as characters, so a Chinese literal
// matches the same characters in the page. Options: ignore case, multi-line ("^" and "$" at every "\n"; off,
// "$" only at the very end) and global (all non-overlapping matches left to right, an empty match moving the
// next attempt on by one character; off, only the first match).
//
// A page is untrusted, so every match attempt is bounded. Each attempt (one starting position) may take at
// most kRegexMatchLimit steps of the matcher; without the compiled fast path the backtracking depth is
// capped at kRegexDepthLimit and its memory at kRegexHeapLimitKib; the fast path runs on a stack of at most
// kRegexJitStackMaxBytes, made for one Execute and released at its end. An attempt that hits a limit (or
// fails in any other way while matching) counts as no match and ends the scan there: the matches found
// before it are kept. The match collection holds spans (byte offsets), at most one entry per match, and
// matches never overlap, so it never holds more entries than the subject has characters, plus one.
//
// An object belongs to one thread. Copies share the compiled pattern and the match collection, which are
// never changed once made, so a copy may be handed to another thread; objects on different threads share
// nothing else.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "util/types.h"

namespace fw {

inline constexpr std::uint32_t kRegexMatchLimit = 10'000'000;
inline constexpr std::uint32_t kRegexDepthLimit = 250'000;
inline constexpr std::uint32_t kRegexHeapLimitKib = 64 * 1024;
inline constexpr std::size_t kRegexJitStackStartBytes = 32 * 1024;
inline constexpr std::size_t kRegexJitStackMaxBytes = 8 * 1024 * 1024;

class RegexObject {
  public:
    RegexObject();
    ~RegexObject();
    // The copy shares the compiled pattern and the matches and holds its own copy of the subject.
    RegexObject(const RegexObject& other);
    RegexObject& operator=(const RegexObject& other);

    // Compiles `pattern` and collects its matches in `subject`, replacing whatever an earlier call left.
    // With `quotePlaceholder`, every "#引号" in the pattern stands for a double quote; otherwise it is
    // matched as written. Returns false, with no matches, when the pattern does not compile or the matcher
    // cannot be set up; true otherwise, also when there is no match (a scan that a limit ended keeps the
    // matches found before).
    bool Execute(std::string_view pattern, std::string_view subject, bool caseSensitive = false,
                 bool multiLine = true, bool global = true, bool quotePlaceholder = false);

    // The pattern as last compiled (after the placeholder replacement), even when it did not compile;
    // empty before the first Execute.
    Text Pattern() const;

    // The subject with every collected match replaced by `replacement`, in which "$1" to "$99" stand for a
    // group's text (the empty text when the group did not take part), "$&" for the match, "$`" and "$'" for
    // the subject before and after it and "$$" for "$". A reference to a group the pattern does not have
    // stays as written; "$12" means group 12 when there is one, else group 1 followed by "2". Empty when the
    // last Execute failed or none ran.
    Text Replace(std::string_view replacement) const;

    int MatchCount() const;

    // The text of match `index` (from 1); empty outside 1 ... MatchCount(). `position` receives the match's
    // 0-based byte offset in the subject, -1 when there is no such match.
    Text MatchText(int index, int* position = nullptr) const;

    // What group `groupIndex` (from 1) captured in match `matchIndex` (from 1); empty when either index is
    // out of range or the group did not take part in that match. `position` receives the capture's 0-based
    // byte offset in the subject, -1 in those cases.
    Text SubMatchText(int matchIndex, int groupIndex, int* position = nullptr) const;

    // The number of groups of the pattern as seen in the first match; 0 when there is no match.
    int SubMatchCount() const;

  private:
    struct Engine;
    struct MatchList;

    std::shared_ptr<const Engine> engine_;
    std::shared_ptr<const MatchList> matches_;
    Text subject_;
};

}  // namespace fw
