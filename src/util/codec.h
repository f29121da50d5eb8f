#pragma once

// Hex, MD5, Base64, percent-decoding and the hidden texts in which the program keeps its own service
// addresses. Pure functions, safe on any thread.

#include <cstdint>
#include <string_view>

#include "util/types.h"

namespace fw {

// The value of a hex digit ("0" to "9", "A" to "F", "a" to "f"), or -1 for any other character.
int HexDigitValue(char c);

// The last 16 hex digits of `text` (other characters skipped) as one number.
std::uint64_t HexToInt64(std::string_view text);

// Two characters per byte (one at an odd end), each pair read with HexToInt64.
Bytes HexToBytes(std::string_view text);

// MD5 digest as 32 hex digits (lower case unless `upperCase`); with `shortForm` the middle 16.
// Empty on failure.
Text Md5Hex(std::string_view bytes, bool upperCase = false, bool shortForm = false);

// Turns a hidden text back into plain text; empty when its check does not match `key`.
Text RevealText(std::string_view hidden, std::string_view key);

// The inverse of RevealText, for storing a text of the program's own.
Text HideText(std::string_view plain, std::string_view key);

// RFC 4648 Base64 with padding, no line breaks.
Text Base64Encode(std::string_view bytes);

// Undoes percent-escapes ("+" stays); with `utf8` the result is converted from UTF-8 to GBK. A "%" not
// followed by two hex digits is copied as it is, and so is "%00" (a text holds no zero bytes).
Text UrlDecode(std::string_view text, bool utf8);

}  // namespace fw
