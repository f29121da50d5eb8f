#pragma once

// Splitting and space trimming. A space is the byte 0x20 or the GBK ideographic space (0xA1 0xA1); tabs
// and line breaks are not spaces. Pure functions, safe on any thread.

#include <string_view>

#include "util/types.h"

namespace fw {

// The pieces between occurrences of `separator`; a final piece only when it is not empty. An empty text
// (or an empty separator) gives no pieces / the whole text as one piece respectively.
TextList SplitText(std::string_view text, std::string_view separator);

Text TrimSpaces(std::string_view text);

Text RemoveSpaces(std::string_view text);

}  // namespace fw
