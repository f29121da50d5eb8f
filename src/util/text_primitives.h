#pragma once

// The text primitives every page reader rests on. Positions count bytes from 1; -1 means not found.
// Scanning moves character by character (a byte >= 0x80 starts a two-byte GBK character), so an occurrence
// is only recognised where it begins on a character boundary. Pure functions, safe on any thread.
//
// Empty needles: FindText and FindLastText never find an empty needle (-1); ReplaceText leaves the text
// unchanged when `old` is empty.
//
// Any text is safe: a lead byte as the very last byte is a character of its own, positions and counts far
// out of range are clipped as stated below, and the searches take time linear in the text whatever the
// needle (a fast byte search whose candidates are then checked for a character start). Only the first
// INT_MAX - 1 bytes of a text can be searched, since positions are ints.

#include <string_view>

#include "util/types.h"

namespace fw {

// Position of the first occurrence of `needle` that begins at or after `start`; a start of 1 or less
// searches from the first byte, a start beyond the text finds nothing. Characters are counted from the
// start byte. With `ignoreCase` only the ASCII letters fold; bytes >= 0x80 never do.
int FindText(std::string_view text, std::string_view needle, int start = 1, bool ignoreCase = false);

// Position of the last occurrence that ends before position `start`; a start of 0 or less, or beyond the
// end, means the whole text (the default), a start of 1 finds nothing. Characters are counted from the first
// byte; overlapping candidates count ("aa" is last found at 2 in "aaa").
int FindLastText(std::string_view text, std::string_view needle, int start = -1, bool ignoreCase = false);

// The first n bytes, clipped; empty when n <= 0.
Text TextLeft(std::string_view text, int n);

// The last n bytes, clipped; empty when n <= 0.
Text TextRight(std::string_view text, int n);

// n bytes from `position` on, clipped at the end; empty when position < 1, beyond the end, or n <= 0.
Text TextMid(std::string_view text, int position, int n);

// The text with occurrences of `oldText` replaced by `newText`, from `start` on (1 or less: from the first
// byte; beyond the end: nothing replaced), at most `count` times (count < 0: all; 0: none). Occurrences do
// not overlap: the scan resumes right after each replaced one. ASCII letters fold unless `caseSensitive`.
Text ReplaceText(std::string_view text, std::string_view oldText, std::string_view newText, int start,
                 int count, bool caseSensitive);

}  // namespace fw
