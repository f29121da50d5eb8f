#include "util/quoted_literal.h"

#include "util/codec.h"

namespace fw {
namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

bool IsOctal(char c) {
    return c >= '0' && c <= '7';
}

// The value of `count` hex digits at `at`, or -1 when they are not all there.
long HexNumber(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) {
        return -1;
    }
    long value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        const int digit = HexDigitValue(text[i]);
        if (digit < 0) {
            return -1;
        }
        value = value * 16 + digit;
    }
    return value;
}

// Length of the line terminator at `at` (LF, CR, CR LF, U+2028, U+2029 in UTF-8), 0 when there is none.
std::size_t LineTerminatorLength(std::string_view text, std::size_t at) {
    if (text[at] == '\n') {
        return 1;
    }
    if (text[at] == '\r') {
        return at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1;
    }
    if (text.substr(at, 3) == "\xE2\x80\xA8" || text.substr(at, 3) == "\xE2\x80\xA9") {
        return 3;
    }
    return 0;
}

void AppendUtf8(char32_t code, std::string& out) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

bool IsHighSurrogate(long unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(long unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::optional<std::string> DecodeSingleQuotedLiteral(std::string_view body) {
    std::string out;
    out.reserve(body.size());
    std::size_t i = 0;
    while (i < body.size()) {
        const char c = body[i];
        if (c == '\'' || LineTerminatorLength(body, i) > 0) {
            return std::nullopt;
        }
        if (c != '\\') {
            out.push_back(c);
            ++i;
            continue;
        }
        if (++i == body.size()) {
            return std::nullopt;
        }
        const char escaped = body[i];
        if (const std::size_t joined = LineTerminatorLength(body, i); joined > 0) {
            i += joined;
            continue;
        }
        switch (escaped) {
            case 'b':
                out.push_back('\b');
                break;
            case 'f':
                out.push_back('\f');
                break;
            case 'n':
                out.push_back('\n');
                break;
            case 'r':
                out.push_back('\r');
                break;
            case 't':
                out.push_back('\t');
                break;
            case 'v':
                out.push_back('\v');
                break;
            case 'x': {
                const long code = HexNumber(body, i + 1, 2);
                if (code < 0) {
                    return std::nullopt;
                }
                AppendUtf8(static_cast<char32_t>(code), out);
                i += 2;
                break;
            }
            case 'u': {
                const long unit = HexNumber(body, i + 1, 4);
                if (unit < 0) {
                    return std::nullopt;
                }
                i += 4;
                const long next = body.substr(i + 1, 2) == "\\u" ? HexNumber(body, i + 3, 4) : -1;
                if (IsHighSurrogate(unit) && IsLowSurrogate(next)) {
                    AppendUtf8(static_cast<char32_t>(0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00)),
                               out);
                    i += 6;
                } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
                    AppendUtf8(kReplacementCharacter, out);
                } else {
                    AppendUtf8(static_cast<char32_t>(unit), out);
                }
                break;
            }
            default:
                if (IsOctal(escaped)) {
                    // Up to three octal digits while the value stays below 256.
                    int code = escaped - '0';
                    const std::size_t maxDigits = escaped <= '3' ? 3 : 2;
                    std::size_t digits = 1;
                    while (digits < maxDigits && i + 1 < body.size() && IsOctal(body[i + 1])) {
                        code = code * 8 + (body[++i] - '0');
                        ++digits;
                    }
                    AppendUtf8(static_cast<char32_t>(code), out);
                } else {
                    // Any other character stands for itself; keep all bytes of a multi-byte character.
                    out.push_back(escaped);
                    while (i + 1 < body.size() && (static_cast<unsigned char>(body[i + 1]) & 0xC0) == 0x80) {
                        out.push_back(body[++i]);
                    }
                }
        }
        ++i;
    }
    return out;
}

}  // namespace fw
