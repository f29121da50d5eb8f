#include "net/cookie_lists.h"

#include <cstddef>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "util/text_markers.h"
#include "util/text_primitives.h"
#include "util/text_split.h"

namespace fw {
namespace {

constexpr std::string_view kListSeparator = "; ";
constexpr std::string_view kDeletedSuffix = "=deleted";

// Joins `items` with `separator` between them.
Text JoinItems(const TextList& items, std::string_view separator) {
    Text joined;
    for (std::size_t index = 0; index < items.size(); ++index) {
        if (index > 0) {
            joined.append(separator);
        }
        joined.append(items[index]);
    }
    return joined;
}

}  // namespace

Text HeaderName(std::string_view line) {
    const int colon = FindText(line, ":");
    if (colon == -1) {
        return {};
    }
    return TrimSpaces(line.substr(0, static_cast<std::size_t>(colon) - 1));
}

Text HeaderValue(std::string_view line) {
    const int colon = FindText(line, ":");
    if (colon == -1) {
        return {};
    }
    return TrimSpaces(line.substr(static_cast<std::size_t>(colon)));
}

Text CollectSetCookies(std::string_view headerBlock) {
    TextList cookies;
    for (const Text& line : SplitText(headerBlock, "\r\n")) {
        if (TextLeftOf(line, ": ") != "Set-Cookie") {
            continue;
        }
        if (FindText(line, ";") != -1) {
            // Only the first name=value pair; path, expiry and the other attributes are not cookies.
            cookies.push_back(TrimSpaces(TextBetween(line, "Set-Cookie:", ";")));
        } else {
            cookies.push_back(TrimSpaces(ReplaceText(line, "Set-Cookie:", "", 1, -1, false)));
        }
    }
    return JoinItems(cookies, kListSeparator);
}

Text CookieName(std::string_view item) {
    const int equals = FindText(item, "=");
    if (equals == -1) {
        return TrimSpaces(item);
    }
    return TrimSpaces(item.substr(0, static_cast<std::size_t>(equals) - 1));
}

Text JoinUnique(std::string_view text, std::string_view separator) {
    // Cookie lists come from servers; a set keeps a list of many items from taking quadratic time.
    TextList kept;
    std::unordered_set<std::string_view> seen;
    const TextList items = SplitText(text, separator);
    for (const Text& item : items) {
        if (seen.insert(item).second) {
            kept.push_back(item);
        }
    }
    return JoinItems(kept, separator);
}

Text MergeCookies(Text& oldList, Text& newList) {
    oldList = RemoveSpaces(oldList);
    newList = RemoveSpaces(newList);
    TextList merged = SplitText(newList, ";");
    std::unordered_set<Text> names;
    for (const Text& item : merged) {
        names.insert(CookieName(item));
    }
    for (const Text& item : SplitText(oldList, ";")) {
        if (names.insert(CookieName(item)).second) {
            merged.push_back(item);
        }
    }
    TextList alive;
    for (Text& item : merged) {
        if (TextRight(item, static_cast<int>(kDeletedSuffix.size())) != kDeletedSuffix) {
            alive.push_back(std::move(item));
        }
    }
    Text result = JoinUnique(JoinItems(alive, kListSeparator), kListSeparator);
    oldList = result;
    return result;
}

}  // namespace fw
