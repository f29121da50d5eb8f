#pragma once

// Conversions between GBK (Windows code page 936), UTF-8 and UTF-16, and percent-encoding. Results equal
// those of the Windows conversion functions with no flags: invalid input and characters that the target
// lacks become the standard substitutes ("?" in GBK). Pure functions, safe on any thread.
// Every input is a text that ends at its first zero byte (or unit), as the platform's conversions read
// zero-terminated strings, so converting raw answer bytes also cuts them there.

#include <string>
#include <string_view>

#include "util/types.h"

namespace fw {

// UTF-16 code units, as produced by the platform conversion (no terminating zero is stored).
using WideText = std::u16string;

inline constexpr int kCodePageAnsi = 0;  // the ANSI code page; GBK for this program
inline constexpr int kCodePageGbk = 936;
inline constexpr int kCodePageUtf8 = 65001;

// Decodes `text` in `codePage` (936, 65001 or 0). Unknown code pages give the empty text.
WideText TextToWide(std::string_view text, int codePage = kCodePageUtf8);

// Encodes `wide` in `codePage`, up to the first zero byte of the result.
Text WideToText(std::u16string_view wide, int codePage = kCodePageAnsi);

std::string GbkToUtf8(std::string_view gbk);
Text Utf8ToGbk(std::string_view utf8);

// Percent-encodes every byte ("%" + two capital hex digits); with `keepPlain`, "-", ".", digits and ASCII
// letters stay as they are. With `toUtf8` the GBK text is converted to UTF-8 first.
Text UrlEncode(std::string_view text, bool keepPlain = false, bool toUtf8 = false);

}  // namespace fw
