#pragma once

// The text that a script string literal stands for, so that the JSON document object can take a text
// value exactly as its statements ('...' around the value) would. Pure function, safe on any thread.

#include <optional>
#include <string>
#include <string_view>

namespace fw {

// `body` is what stands between the two single quotes, in UTF-8; the result is the string's UTF-8 text.
// nullopt where the literal would not compile: an unescaped single quote or line break, a backslash at
// the end, a malformed \x or \u escape. Escapes: \b \f \n \r \t \v, \xHH, \uHHHH (a surrogate pair gives
// one character, a lone surrogate U+FFFD), octal \0 to \377, a backslash before a line break joins the
// lines, and before any other character stands for that character.
std::optional<std::string> DecodeSingleQuotedLiteral(std::string_view body);

}  // namespace fw
