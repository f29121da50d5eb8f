#pragma once

// The pieces every request routine shares around one curl transfer: turning an address into one curl
// accepts, the bounds of DefaultNetLimits(), header lines for curl's list, and collecting what came back.

#include <curl/curl.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "net/curl_global.h"
#include "net/net_limits.h"
#include "util/types.h"

namespace fw {

// Redirections a routine follows before it gives up on the chain.
inline constexpr long kMaxRedirects = 10;

// The response header block is never kept beyond this size, over all responses of one call (redirects
// included); a site that sends more ends the transfer.
inline constexpr std::size_t kMaxHeaderBytes = 256u * 1024u;

// What one transfer received. The body stops at `maxBodyBytes`: past it the write callback refuses the
// data, curl ends the transfer, and `bodyCut` says the body is the first part of a longer one.
struct ResponseCapture {
    explicit ResponseCapture(std::size_t maxBody) : maxBodyBytes(maxBody) {}

    std::size_t maxBodyBytes;
    Bytes body;
    bool bodyCut = false;
    // The raw header block of the last response seen (status line, header lines, blank line, each ending
    // in CR LF); with redirects followed, that of the final response.
    std::string rawHeaders;
    bool statusSeen = false;
    std::size_t headerBytesSeen = 0;
};

// Installs the body and header callbacks that fill `capture`; it must outlive the transfer.
void CaptureResponse(CURL* easy, ResponseCapture& capture);

// True when the transfer ended normally or only because the body reached its cap.
bool TransferDone(CURLcode code, const ResponseCapture& capture);

// The header lines of `rawHeaders` without the status line and the blank line, each followed by CR LF.
std::string HeaderLinesWithoutStatus(std::string_view rawHeaders);

// Connect time-out, low-speed limit and total cap of `limits`.
void ApplyNetLimits(CURL* easy, const NetLimits& limits);

// Options every routine sets alike: no signals (worker threads), HTTP and HTTPS only, no proxy from the
// environment (`proxy` empty means a direct connection), CONNECT answers kept out of the header block,
// and the path sent as written ("/a/../b" is not tidied to "/b").
void ApplyCommonOptions(CURL* easy, const std::string& proxy);

// The address as curl takes it: "http://" in front when it names no scheme, and the bytes a URL may not
// hold raw (controls, space, DEL, bytes of 0x80 and above) percent-encoded. Everything else is kept,
// so the path and query go out as the caller wrote them.
std::string CurlUrl(std::string_view address);

// True when the first 8 characters of `url`, letter case ignored, are "https://".
bool IsHttpsUrl(std::string_view url);

// Adds one request header line to a curl header list, sent as written. CR and LF bytes are dropped (a
// line must not smuggle in another header); a line without a colon is no header and is left out; a line
// with an empty value is kept as "Name:" (curl would otherwise read it as "do not send Name").
bool AppendHeaderLine(CurlSlist& list, std::string_view line);

// Redirections followed (at most kMaxRedirects, never from "https" down to plain "http") or not.
void ApplyRedirects(CURL* easy, bool follow, bool secure);

// The verb and, when `sendsBody`, the body (which must outlive the transfer). HEAD never carries a body.
void ApplyVerbAndBody(CURL* easy, const std::string& verb, const Bytes& body, bool sendsBody);

// Keeps curl from adding headers of its own that no caller asked for: a body's default Content-Type, the
// "Expect: 100-continue" wait and the keep-alive line for a proxy.
bool SuppressCurlExtraHeaders(CurlSlist& list);

// The first defaults both request routines complete a header block with, each only when the block lacks
// it (exact bytes): "Accept: */*", "Referer: " + the request's own URL, "Accept-Language: zh-cn".
Text CompleteBrowserHeaders(Text block, std::string_view url);

}  // namespace fw
