#pragma once

// Taking a URL apart into host, port and path. Pure functions, safe on any thread.

#include <string_view>

#include "util/types.h"

namespace fw {

// The host in lower case (ASCII letters only), with ":port" only when `keepPort` is set. A URL without a
// scheme counts as "http://".
Text UrlHost(std::string_view url, bool keepPort = false);

// The port named in the URL, else 443 for "https" and 80 otherwise. The leading digits of the port text
// count; a port without digits, or too large for an int, gives 0.
int UrlPort(std::string_view url);

// The path with its query, letter case as given; "/" when there is none. The host is looked for behind the
// scheme, so a host such as "h" that also occurs in "http://" does not drag the scheme into the path.
Text UrlPath(std::string_view url);

}  // namespace fw
