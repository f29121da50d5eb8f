#pragma once

// Header lines and cookie lists ("name=value; name=value"). Pure functions, safe on any thread.

#include <string_view>

#include "util/types.h"

namespace fw {

// Trimmed text before / after the first colon; both empty when the line has no colon.
Text HeaderName(std::string_view line);
Text HeaderValue(std::string_view line);

// The cookies that a raw response header block sets, as a cookie list, in header order.
Text CollectSetCookies(std::string_view headerBlock);

// Trimmed text before the first "=", or the whole trimmed item.
Text CookieName(std::string_view item);

// The items of `text` (split at `separator`) without exact duplicates, joined by `separator`. An empty
// separator leaves the text as it is.
Text JoinUnique(std::string_view text, std::string_view separator);

// Merges `newList` into `oldList`: new cookies first, then the old ones whose names are not among them;
// "=deleted" items are dropped. Both arguments lose their spaces; `oldList` receives the result.
Text MergeCookies(Text& oldList, Text& newList);

}  // namespace fw
