#include "util/regex_object.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "util/code_page.h"
#include "util/text_primitives.h"

namespace fw {
namespace {

struct CodeFree {
    void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct CompileContextFree {
    void operator()(pcre2_compile_context* context) const { pcre2_compile_context_free(context); }
};
struct MatchContextFree {
    void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};
struct MatchDataFree {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct JitStackFree {
    void operator()(pcre2_jit_stack* stack) const { pcre2_jit_stack_free(stack); }
};

using CodeHandle = std::unique_ptr<pcre2_code, CodeFree>;
using CompileContextHandle = std::unique_ptr<pcre2_compile_context, CompileContextFree>;
using MatchContextHandle = std::unique_ptr<pcre2_match_context, MatchContextFree>;
using MatchDataHandle = std::unique_ptr<pcre2_match_data, MatchDataFree>;
using JitStackHandle = std::unique_ptr<pcre2_jit_stack, JitStackFree>;

constexpr std::uint32_t kUnset = std::numeric_limits<std::uint32_t>::max();

// A byte range of the subject; both ends kUnset for a group that took no part in the match.
struct Span {
    std::uint32_t begin = kUnset;
    std::uint32_t end = kUnset;
};

std::size_t Utf8CharLength(std::string_view utf8, std::size_t at) {
    if (at >= utf8.size()) {
        return 1;
    }
    const auto lead = static_cast<unsigned char>(utf8[at]);
    if (lead >= 0xF0) {
        return 4;
    }
    if (lead >= 0xE0) {
        return 3;
    }
    if (lead >= 0xC0) {
        return 2;
    }
    return 1;
}

// How many bytes the code-page converter reads as one character at `at`: a lead byte 0x81-0xFE takes the
// next byte along only when that one can be a trail byte; 0x80 (the euro sign), 0xFF and a lead byte before
// anything else stand alone. Each such character becomes exactly one character of the UTF-8 subject.
std::size_t GbkCharLength(std::string_view gbk, std::size_t at) {
    const auto lead = static_cast<unsigned char>(gbk[at]);
    if (lead <= 0x80 || lead == 0xFF || at + 1 >= gbk.size()) {
        return 1;
    }
    const auto trail = static_cast<unsigned char>(gbk[at + 1]);
    const bool isTrail = (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFE);
    return isTrail ? 2 : 1;
}

// Options of the JavaScript-style dialect the page patterns are written in (see the header).
CodeHandle Compile(const std::string& patternUtf8, bool caseSensitive, bool multiLine) {
    CompileContextHandle context(pcre2_compile_context_create(nullptr));
    if (!context) {
        return nullptr;
    }
    pcre2_set_newline(context.get(), PCRE2_NEWLINE_LF);
    pcre2_set_compile_extra_options(context.get(), PCRE2_EXTRA_BAD_ESCAPE_IS_LITERAL);
    // \C could end a match inside a character, where it has no place in the GBK subject.
    std::uint32_t options = PCRE2_UTF | PCRE2_NEVER_BACKSLASH_C | PCRE2_ALT_BSUX | PCRE2_MATCH_UNSET_BACKREF |
                            PCRE2_ALLOW_EMPTY_CLASS;
    if (!caseSensitive) {
        options |= PCRE2_CASELESS;
    }
    options |= multiLine ? PCRE2_MULTILINE : PCRE2_DOLLAR_ENDONLY;
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    CodeHandle code(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(patternUtf8.data()), patternUtf8.size(),
                                  options, &errorCode, &errorOffset, context.get()));
    if (code) {
        // Without machine code (an unsupported platform, a huge pattern) the interpreter runs the same
        // pattern under the same limits, only slower.
        pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE);
    }
    return code;
}

}  // namespace

struct RegexObject::Engine {
    Text pattern;
    CodeHandle code;  // null when the pattern did not compile
};

struct RegexObject::MatchList {
    std::uint32_t groupCount = 0;
    std::vector<Span> spans;  // per match: the whole match, then each group in turn

    int Count() const { return static_cast<int>(spans.size() / (groupCount + 1)); }

    // Group 0 is the whole match; null when either index is out of range.
    const Span* Find(int matchIndex, int groupIndex) const {
        if (matchIndex < 1 || matchIndex > Count() || groupIndex < 0 ||
            static_cast<std::uint32_t>(groupIndex) > groupCount) {
            return nullptr;
        }
        return &spans[static_cast<std::size_t>(matchIndex - 1) * (groupCount + 1) +
                      static_cast<std::size_t>(groupIndex)];
    }
};

namespace {

// Runs `code` over the UTF-8 subject and returns the spans of its matches in UTF-8 offsets; nothing when the
// matcher cannot be set up. A failed attempt, whatever the reason, ends the scan.
std::optional<std::vector<Span>> CollectMatches(const pcre2_code* code, std::uint32_t groupCount,
                                                std::string_view subject, bool global) {
    MatchDataHandle matchData(pcre2_match_data_create_from_pattern(code, nullptr));
    MatchContextHandle context(pcre2_match_context_create(nullptr));
    JitStackHandle jitStack(
        pcre2_jit_stack_create(kRegexJitStackStartBytes, kRegexJitStackMaxBytes, nullptr));
    if (!matchData || !context || !jitStack) {
        return std::nullopt;
    }
    pcre2_set_match_limit(context.get(), kRegexMatchLimit);
    pcre2_set_depth_limit(context.get(), kRegexDepthLimit);
    pcre2_set_heap_limit(context.get(), kRegexHeapLimitKib);
    pcre2_jit_stack_assign(context.get(), nullptr, jitStack.get());

    const auto* bytes = reinterpret_cast<PCRE2_SPTR>(subject.data());
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(matchData.get());
    std::vector<Span> spans;
    std::uint32_t matchOptions = 0;
    std::size_t start = 0;
    while (start <= subject.size()) {
        const int result =
            pcre2_match(code, bytes, subject.size(), start, matchOptions, matchData.get(), context.get());
        // The subject was checked on the first attempt; checking it again from every later start would
        // make a scan with many matches quadratic.
        matchOptions = PCRE2_NO_UTF_CHECK;
        if (result <= 0) {
            break;
        }
        for (std::uint32_t group = 0; group <= groupCount; ++group) {
            const PCRE2_SIZE begin = ovector[2 * group];
            const PCRE2_SIZE end = ovector[2 * group + 1];
            if (begin == PCRE2_UNSET || end == PCRE2_UNSET) {
                spans.push_back({});
            } else {
                spans.push_back({static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(end)});
            }
        }
        if (!global) {
            break;
        }
        // After an empty match the next attempt starts one character on, so that it is not found again.
        const std::size_t matchBegin = ovector[0];
        const std::size_t matchEnd = ovector[1];
        start = matchEnd > matchBegin ? matchEnd : matchEnd + Utf8CharLength(subject, matchEnd);
    }
    return spans;
}

// Turns the UTF-8 offsets of `spans` into byte offsets of the GBK text the UTF-8 subject was converted
// from, in one walk over both texts.
void MapSpansToGbk(std::vector<Span>& spans, std::string_view gbk, std::string_view utf8) {
    std::vector<std::uint32_t> marks;
    marks.reserve(spans.size() * 2);
    for (const Span& span : spans) {
        if (span.begin != kUnset) {
            marks.push_back(span.begin);
            marks.push_back(span.end);
        }
    }
    std::sort(marks.begin(), marks.end());
    marks.erase(std::unique(marks.begin(), marks.end()), marks.end());

    std::vector<std::uint32_t> gbkMarks(marks.size());
    std::size_t utf8At = 0;
    std::size_t gbkAt = 0;
    for (std::size_t k = 0; k < marks.size(); ++k) {
        while (utf8At < marks[k] && utf8At < utf8.size() && gbkAt < gbk.size()) {
            utf8At += Utf8CharLength(utf8, utf8At);
            gbkAt += GbkCharLength(gbk, gbkAt);
        }
        gbkMarks[k] = static_cast<std::uint32_t>(gbkAt);
    }
    const auto toGbk = [&](std::uint32_t utf8Offset) {
        const auto found = std::lower_bound(marks.begin(), marks.end(), utf8Offset);
        return gbkMarks[static_cast<std::size_t>(found - marks.begin())];
    };
    for (Span& span : spans) {
        if (span.begin != kUnset) {
            span.begin = toGbk(span.begin);
            span.end = std::max(span.begin, toGbk(span.end));
        }
    }
}

std::string_view SpanText(std::string_view subject, const Span& span) {
    return subject.substr(span.begin, span.end - span.begin);
}

// Appends `replacement` for one match, with its "$" references filled in.
void AppendReplacement(Text& out, std::string_view replacement, std::string_view subject, const Span* match,
                       std::uint32_t groupCount) {
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const auto appendGroup = [&](std::uint32_t group) {
        if (match[group].begin != kUnset) {
            out.append(SpanText(subject, match[group]));
        }
    };
    for (std::size_t i = 0; i < replacement.size(); ++i) {
        const char c = replacement[i];
        if (c != '$' || i + 1 == replacement.size()) {
            out.push_back(c);
            continue;
        }
        const char next = replacement[i + 1];
        if (next == '$') {
            out.push_back('$');
            ++i;
        } else if (next == '&') {
            out.append(SpanText(subject, match[0]));
            ++i;
        } else if (next == '`') {
            out.append(subject.substr(0, match[0].begin));
            ++i;
        } else if (next == '\'') {
            out.append(subject.substr(match[0].end));
            ++i;
        } else if (isDigit(next)) {
            const auto single = static_cast<std::uint32_t>(next - '0');
            const bool hasSecond = i + 2 < replacement.size() && isDigit(replacement[i + 2]);
            const std::uint32_t two =
                hasSecond ? single * 10 + static_cast<std::uint32_t>(replacement[i + 2] - '0') : 0;
            if (hasSecond && two >= 1 && two <= groupCount) {
                appendGroup(two);
                i += 2;
            } else if (single >= 1 && single <= groupCount) {
                appendGroup(single);
                ++i;
            } else {
                out.push_back('$');
            }
        } else {
            out.push_back('$');
        }
    }
}

// The text of one match or group and its 0-based byte offset; empty and -1 when there is none.
Text PieceText(const Span* span, std::string_view subject, int* position) {
    if (span == nullptr || span->begin == kUnset) {
        if (position != nullptr) {
            *position = -1;
        }
        return {};
    }
    if (position != nullptr) {
        *position = static_cast<int>(span->begin);
    }
    return Text(SpanText(subject, *span));
}

}  // namespace

RegexObject::RegexObject() = default;
RegexObject::~RegexObject() = default;
RegexObject::RegexObject(const RegexObject& other) = default;
RegexObject& RegexObject::operator=(const RegexObject& other) = default;

bool RegexObject::Execute(std::string_view pattern, std::string_view subject, bool caseSensitive,
                          bool multiLine, bool global, bool quotePlaceholder) {
    matches_.reset();
    engine_.reset();

    auto engine = std::make_shared<Engine>();
    engine->pattern =
        quotePlaceholder ? ReplaceText(pattern, Utf8ToGbk("#引号"), "\"", 1, -1, true) : Text(pattern);
    engine->code = Compile(GbkToUtf8(engine->pattern), caseSensitive, multiLine);
    engine_ = engine;
    subject_ = Text(subject);
    if (!engine->code) {
        return false;
    }

    const std::string subjectUtf8 = GbkToUtf8(subject_);
    if (subjectUtf8.size() >= kUnset) {
        return false;
    }
    std::uint32_t groupCount = 0;
    pcre2_pattern_info(engine->code.get(), PCRE2_INFO_CAPTURECOUNT, &groupCount);
    std::optional<std::vector<Span>> spans =
        CollectMatches(engine->code.get(), groupCount, subjectUtf8, global);
    if (!spans) {
        return false;
    }
    MapSpansToGbk(*spans, subject_, subjectUtf8);

    auto matches = std::make_shared<MatchList>();
    matches->groupCount = groupCount;
    matches->spans = std::move(*spans);
    matches_ = std::move(matches);
    return true;
}

Text RegexObject::Pattern() const {
    return engine_ ? engine_->pattern : Text();
}

Text RegexObject::Replace(std::string_view replacement) const {
    if (!matches_) {
        return {};
    }
    Text result;
    std::size_t copied = 0;
    for (int index = 1; index <= matches_->Count(); ++index) {
        const Span* match = matches_->Find(index, 0);
        const std::size_t begin = std::max<std::size_t>(match->begin, copied);
        result.append(subject_, copied, begin - copied);
        AppendReplacement(result, replacement, subject_, match, matches_->groupCount);
        copied = std::max<std::size_t>(match->end, begin);
    }
    result.append(subject_, copied);
    return result;
}

int RegexObject::MatchCount() const {
    return matches_ ? matches_->Count() : 0;
}

Text RegexObject::MatchText(int index, int* position) const {
    return PieceText(matches_ ? matches_->Find(index, 0) : nullptr, subject_, position);
}

Text RegexObject::SubMatchText(int matchIndex, int groupIndex, int* position) const {
    const Span* span = matches_ && groupIndex >= 1 ? matches_->Find(matchIndex, groupIndex) : nullptr;
    return PieceText(span, subject_, position);
}

int RegexObject::SubMatchCount() const {
    return matches_ && matches_->Count() > 0 ? static_cast<int>(matches_->groupCount) : 0;
}

}  // namespace fw
