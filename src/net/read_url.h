#pragma once

// The plain URL reader: one HTTP/1.0 GET of the whole address with "Accept: */*" and an old browser's
// agent string, a direct connection, no cache. Returns the body whatever the status; empty bytes when the
// address cannot be reached. Bounded by DefaultNetLimits(). Safe on any thread.
//
// On the wire, exactly:
//     GET <path and query as written> HTTP/1.0
//     Host: <host>[:<port> unless it is the scheme's own]
//     User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)
//     Accept: */*
//
// - An address without a scheme is read as "http://". Only http and https are spoken.
// - The path goes out as written: dot segments are not tidied away. Bytes that a URL may not carry raw
//   (controls, space, bytes of 0x80 and above, as in an unencoded GBK keyword) are percent-encoded; a
//   "#fragment" is not sent.
// - No proxy, not even one named in the environment. Nothing is cached and there is no cache to bypass,
//   so no "Pragma: no-cache" is sent: every call goes to the site.
// - A redirection is followed (at most 10 hops, never from https down to plain http), each hop being one
//   more GET of the same form; the last answer's body is the result.
// - "https" is verified against the system's certificate store, host name included; a certificate that
//   fails gives empty bytes.
// - A failure of any kind (no connection, no answer, a broken or stalled transfer, a time limit) gives
//   empty bytes. Only the body cap is not a failure: the first maxBodyBytes are returned.

#include <string_view>

#include "util/types.h"

namespace fw {

Bytes ReadUrl(std::string_view address);

// The page at `address` as a GBK text: its bytes read as UTF-8, as every site serves, up to the first zero
// byte.
Text ReadPageText(std::string_view address);

}  // namespace fw
