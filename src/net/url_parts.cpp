#include "net/url_parts.h"

#include <climits>
#include <cstddef>

#include "util/text_markers.h"
#include "util/text_primitives.h"

namespace fw {
namespace {

constexpr std::string_view kHttpsScheme = "https://";
constexpr std::string_view kHttpScheme = "http://";

// Lower-cases the one-byte ASCII letters; two-byte characters keep both their bytes, even a second byte
// that happens to look like a letter.
Text LowerAscii(std::string_view text) {
    Text lowered(text);
    for (std::size_t index = 0; index < lowered.size();) {
        const auto byte = static_cast<unsigned char>(lowered[index]);
        if (byte >= 0x80) {
            index += 2;
            continue;
        }
        if (byte >= 'A' && byte <= 'Z') {
            lowered[index] = static_cast<char>(byte + ('a' - 'A'));
        }
        ++index;
    }
    return lowered;
}

// The leading decimal digits as a number; 0 when there are none or when they do not fit an int.
int LeadingNumber(std::string_view text) {
    long long value = 0;
    std::size_t index = 0;
    for (; index < text.size() && text[index] >= '0' && text[index] <= '9'; ++index) {
        value = value * 10 + (text[index] - '0');
        if (value > INT_MAX) {
            return 0;
        }
    }
    return static_cast<int>(value);
}

// The 0-based index just after the scheme marker that UrlHost reads the host behind: "https://" at the
// very start, else the first "http://", else 0 (a URL without a scheme starts with its host).
std::size_t HostSearchStart(std::string_view url) {
    const Text lowered = LowerAscii(url);
    if (TextLeft(lowered, static_cast<int>(kHttpsScheme.size())) == kHttpsScheme) {
        return kHttpsScheme.size();
    }
    const int http = FindText(lowered, kHttpScheme);
    return http == -1 ? 0 : static_cast<std::size_t>(http) - 1 + kHttpScheme.size();
}

}  // namespace

Text UrlHost(std::string_view url, bool keepPort) {
    Text lowered = LowerAscii(url);
    if (lowered.empty() || lowered.back() != '/') {
        lowered.push_back('/');
    }
    std::string_view scheme = kHttpScheme;
    if (TextLeft(lowered, static_cast<int>(kHttpsScheme.size())) == kHttpsScheme) {
        scheme = kHttpsScheme;
    } else if (FindText(lowered, kHttpScheme) == -1) {
        lowered.insert(0, kHttpScheme);
    }
    const Text host = TextBetween(lowered, scheme, "/");
    if (keepPort) {
        return host;
    }
    const int colon = FindText(host, ":");
    return colon == -1 ? host : TextLeft(host, colon - 1);
}

int UrlPort(std::string_view url) {
    const Text host = UrlHost(url, true);
    const int colon = FindLastText(host, ":");
    if (colon == -1) {
        return LowerAscii(TextLeft(url, 5)) == "https" ? 443 : 80;
    }
    return LeadingNumber(std::string_view(host).substr(static_cast<std::size_t>(colon)));
}

Text UrlPath(std::string_view url) {
    const Text host = UrlHost(url);
    // The host is looked for behind the scheme: a host such as "h" or "tp" also occurs inside "http://",
    // and taking that place would make the scheme part of the path.
    const std::size_t searchStart = HostSearchStart(url);
    int hostPos = static_cast<int>(searchStart) + 1;
    if (!host.empty()) {
        const int found = FindText(url, host, hostPos, true);
        if (found != -1) {
            hostPos = found;
        }
    }
    const int slash = FindText(url, "/", hostPos);
    if (slash == -1) {
        return "/";
    }
    return Text(url.substr(static_cast<std::size_t>(slash) - 1));
}

}  // namespace fw
