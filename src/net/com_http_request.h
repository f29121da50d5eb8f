#pragma once

// One complete HTTP(S) exchange in the manner of a scriptable request object: one time-out for every
// phase, a named proxy with Basic credentials, certificate errors of unknown authority, wrong usage,
// wrong name and expiry ignored, a body with any verb, and the HTTP status. Safe on any thread; a
// `requestObject` must not be used by two calls at once.
//
// `url` is used whole ("http://" assumed when it names no scheme; bytes a URL may not carry raw are
// percent-encoded). On the wire, in this order:
//     <verb> <path and query> HTTP/1.1      (absolute form through a proxy, for plain HTTP)
//     Host: <host>[:<port> unless it is the scheme's own]
//     Proxy-Authorization: Basic ...        (see the proxy below)
//     Cookie: <cookies>                     (whenever `cookies` is supplied; "Cookie:" when it is empty)
//     <each line of the completed header block, in its order, as "Name: value" trimmed>
//     Content-Length: <n>                   (when a body is sent)
// and nothing else: no "Expect: 100-continue", no Accept, User-Agent or Content-Type of the HTTP stack's
// own. A block line without a name is not sent; an empty value goes out as "Name:".
//
// Bodies: `bodyBytes` if not empty, else `bodyText`, with every verb but HEAD, GET included. POST and PUT
// always carry one (an empty one is "Content-Length: 0"); the other verbs when there is a body to send.
// The bytes go out as they are: no type is added for a verb other than POST.
//
// Time-outs: `timeoutSeconds` t > 0 gives t * 1000 ms, 0 or less (other than -1) 15000 ms, for both of
// these phases: connecting (name resolution included) and every stall of the exchange (no byte sent or
// received for that long, the wait for the answer included). -1 gives the object's own: 60 s to connect,
// 30 s for a stall. In every case the whole exchange is also bounded by DefaultNetLimits().totalTimeoutMs
// and a body by DefaultNetLimits().maxBodyBytes (past it, the part read so far is the body).
//
// Proxy: `proxy` "host:port" for plain and secure requests; empty means a direct connection (the
// environment's proxy settings are never used). With a user name and `proxyAuthKind` 1 the request
// carries "Proxy-Authorization: Basic " + Base64(user ":" password): on the proxied request itself for
// plain HTTP, and on the CONNECT request that opens the tunnel for HTTPS (never inside the tunnel, where
// the site would see it).
//
// Certificates: the chain is verified against the system's certificate store, but these faults are
// ignored: an unknown or untrusted authority (a self-signed certificate included), a certificate made for
// another purpose, one expired or not yet valid, and a name that does not match the host (the name is not
// checked). Any other fault (a broken signature, an issuer that may not sign, ...) fails the exchange.
//
// Redirections are followed (up to 10; a POST answered by 301, 302 or 303 continues as a GET; never from
// HTTPS to plain HTTP) unless `noRedirect`; `status` is then that of the redirection itself.
//
// Results: `status` the final status code; `responseHeaders` the final response's header lines without
// the status line, each followed by CR LF; `cookiesOut` the cookies those lines set (merged into
// `cookies` as for InetRequest). The object keeps no cookies of its own.
//
// Failure (no connection, a refused certificate, a time-out, a broken transfer): empty bytes; `headers`
// has been completed already, and nothing else changes: no status, no response headers, no cookies.

#include <memory>
#include <string_view>

#include "util/types.h"

namespace fw {

// A reusable request object: keeps its connection (and TLS session) between the calls that are given it,
// so successive requests to one site may go over one connection. Each call sets all of its own options
// afresh; nothing else of an earlier call carries over. Without one, every call makes a fresh object.
class HttpRequestObject {
  public:
    HttpRequestObject();
    ~HttpRequestObject();
    HttpRequestObject(const HttpRequestObject&) = delete;
    HttpRequestObject& operator=(const HttpRequestObject&) = delete;

    struct State;
    State& state() { return *state_; }

  private:
    std::unique_ptr<State> state_;
};

inline constexpr int kProxyAuthBasic = 1;

Bytes ComHttpRequest(std::string_view url, int method = 0, std::string_view bodyText = {},
                     Text* cookies = nullptr, Text* cookiesOut = nullptr, Text* headers = nullptr,
                     Text* responseHeaders = nullptr, int* status = nullptr, bool noRedirect = false,
                     std::string_view bodyBytes = {}, std::string_view proxy = {}, int timeoutSeconds = 0,
                     std::string_view proxyUser = {}, std::string_view proxyPassword = {},
                     int proxyAuthKind = kProxyAuthBasic, HttpRequestObject* requestObject = nullptr,
                     bool mergeCookies = true);

}  // namespace fw
