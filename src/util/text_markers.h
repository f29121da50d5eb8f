#pragma once

// Marker routines: cutting page texts at fixed text markers. A missing marker always yields the empty
// text. Pure functions, safe on any thread.

#include <string_view>

#include "util/types.h"

namespace fw {

// Every text between `left` and the next `right`, put in `list` (its old contents are dropped). The next
// left marker is searched from just after the previous one, so items may overlap. An empty left or right
// marker yields no items (it would be found at the same place forever). Each item is [left] prefix +
// between + suffix [right]; with a `maxLength` other than 0 only items shorter than it are kept (so a
// negative one keeps none). Because overlapping items can outgrow the page many times over, the list stops
// growing at 64 MiB (item bytes plus per-item bookkeeping); the items up to there are kept. Returns the
// number of items.
int ExtractAllBetween(std::string_view text, std::string_view left, std::string_view right, TextList& list,
                      bool ignoreCase = false, int maxLength = 0, std::string_view prefix = {},
                      std::string_view suffix = {}, bool withLeft = false, bool withRight = false,
                      int start = 1);

// The text before the first occurrence of `marker` at or after `start`, always from the first byte of the
// text; empty when there is none (or the marker is empty).
Text TextLeftOf(std::string_view text, std::string_view marker, int start = 1, bool ignoreCase = false);

// The text between the first `left` (from `start`) and the next `right`; empty if either is missing or
// empty. "#引号" (in GBK) in either marker stands for a double quote.
Text TextBetween(std::string_view text, std::string_view left, std::string_view right, int start = 1,
                 bool ignoreCase = false);

// Up to five replacements applied in turn; a pair with an empty old text changes nothing. ASCII letter
// case is ignored unless `caseSensitive` is set.
Text ReplaceMany(std::string_view text, std::string_view old1, std::string_view new1,
                 std::string_view old2 = {}, std::string_view new2 = {}, std::string_view old3 = {},
                 std::string_view new3 = {}, std::string_view old4 = {}, std::string_view new4 = {},
                 std::string_view old5 = {}, std::string_view new5 = {}, int count = -1, int start = 1,
                 bool caseSensitive = false);

// The text after the last occurrence of `marker` (searched before position `start` as FindLastText does,
// default the whole text) up to the end of the whole text; empty when there is none.
Text TextRightOfLast(std::string_view text, std::string_view marker, int start = -1, bool ignoreCase = false);

}  // namespace fw
