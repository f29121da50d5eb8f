#pragma once

// Reading and writing JSON texts (UTF-8) for the JSON document object. Reading is bounded so that a
// hostile answer can neither exhaust the stack (copying, writing and freeing a value recurse once per
// level) nor make parsing quadratic; writing follows JSON.stringify, number texts follow a script's
// String(number). Pure functions, safe on any thread.

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <string_view>

namespace fw {

// Objects keep their members in insertion order, as a script engine enumerates them.
using JsonValue = nlohmann::ordered_json;

// Deeper texts are refused; every document value stays within this many levels of arrays and objects.
inline constexpr int kMaxJsonDepth = 512;

struct ParsedJson {
    JsonValue value;
    int depth = 0;  // levels of arrays and objects; 0 for a scalar
};

// One JSON value (comments allowed). nullopt for anything else, for nesting deeper than kMaxJsonDepth and
// for numbers beyond the range of a double. A repeated member name keeps its first place and its last
// value, as in a script's object literal.
std::optional<ParsedJson> ReadJsonText(std::string_view utf8);

// The value as JSON.stringify writes it: compact, members in order, numbers as ScriptNumberText,
// non-finite numbers as null, strings with only '"', '\' and control characters escaped.
std::string WriteJsonText(const JsonValue& value);

// A number as a script's String(number) writes it: the shortest digits that read back to the same
// number, plain decimals from 1e-6 up to below 1e21 and exponent form ("1e+21", "1.5e-7") outside.
// With `significantDigits` above 0 the number is first rounded to that many significant digits.
std::string ScriptNumberText(double number, int significantDigits = 0);

}  // namespace fw
