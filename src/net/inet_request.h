#pragma once

// One complete HTTP(S) exchange with browser-like header defaults, optional cookie list, proxy and
// redirect control. Each call owns its connection; nothing is kept between calls but the shared cookie
// store (below). Bounded by DefaultNetLimits(). Safe on any thread (the in/out arguments belong to the
// caller).
//
// Optional in/out arguments are pointers: nullptr means "not supplied". For `cookies` that differs from a
// supplied empty list: a supplied list switches automatic cookie handling off and, with `mergeCookies`,
// receives the merged list afterwards.
//
// The request goes to UrlHost/UrlPort of `url` ("https://" in any letter case: TLS, verified against the
// system's certificate store; no scheme: plain HTTP) and asks for UrlPath, sent as written (bytes a URL
// may not carry raw are percent-encoded, a fragment is not sent). On the wire, in this order:
//     <verb> <UrlPath> HTTP/1.1             (absolute form "http://host[:port]/path" through a proxy)
//     Host: <host>[:<port> unless it is the scheme's own]
//     User-Agent: <agent string>            (left out when the header block has its own agent line)
//     Cookie: ...                           (only from the shared store, see below)
//     <each line of the completed header block, in its order>
//     Content-Length: <n>                   (when a body is sent)
// and nothing else: no "Expect: 100-continue", no default Accept or Content-Type of the HTTP stack's own.
// A header line with an empty value goes out as "Name:"; a line without a colon is not a header and is
// not sent; CR and LF bytes inside a line are dropped.
//
// The agent string (default "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)", else taken from the
// caller's "User-Agent:" line by the rules of the header text) is what the connection presents: it is the
// User-Agent of the request unless the block has an agent line of its own (letter case ignored), and it
// is always the User-Agent of the CONNECT request that opens a tunnel through a proxy. Only its first line
// is used.
//
// Bodies: GET and HEAD never carry one. POST and PUT always do (an empty one is "Content-Length: 0");
// the other verbs when there is a body to send. `bodyBytes` is preferred over `bodyText`, and receives
// the text's bytes when it was empty and a body was sent.
//
// Cookies: with `cookies` supplied no cookie is stored or added automatically; the list goes out as the
// block's Cookie line. With `cookies` not supplied, cookies live in one store shared by every such call
// in the process (as a browser's store is shared by its windows): cookies a response sets are kept there
// and sent with later requests to the same site, redirections within one call included. The store lives
// in memory for the life of the process and is locked for each use.
//
// Redirections are followed (up to 10; a POST answered by 301, 302 or 303 continues as a GET; a secure
// request is never redirected to plain HTTP) unless `noRedirect`. `responseHeaders` then holds the raw
// block of the final response: status line and header lines as received, each ending in CR LF, and the
// blank line. `proxy` ("host:port") is used for plain and secure requests alike; empty means a direct
// connection (the environment's proxy settings are never used).
//
// Failure: when no answer at all arrives (no connection, TLS refused, a time limit before the status
// line) the result is empty bytes and `headers`, `cookies`, `cookiesOut`, `responseHeaders` and
// `bodyBytes` keep their values. Once an answer has begun, every step runs and the result is whatever
// body was read (a body beyond DefaultNetLimits().maxBodyBytes is cut there).

#include <string_view>

#include "util/types.h"

namespace fw {

// Verbs by index: 0 GET, 1 POST, 2 HEAD, 3 PUT, 4 OPTIONS, 5 DELETE, 6 TRACE, 7 CONNECT; any other index
// counts as GET.
const char* VerbName(int method);

Bytes InetRequest(std::string_view url, int method = 0, std::string_view bodyText = {},
                  Text* cookies = nullptr, Text* cookiesOut = nullptr, Text* headers = nullptr,
                  Text* responseHeaders = nullptr, bool noRedirect = false, Bytes* bodyBytes = nullptr,
                  std::string_view proxy = {}, bool mergeCookies = true);

}  // namespace fw
