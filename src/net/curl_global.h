#pragma once

// libcurl's process-wide set-up and the owning handles every request routine uses. The global set-up
// runs once, on first use, from whichever thread gets there first; it is never undone, because worker
// threads may still be inside a transfer when the program ends.

#include <curl/curl.h>

#include <memory>

namespace fw {

struct CurlEasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct CurlSlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct CurlShareDeleter {
    void operator()(CURLSH* share) const { curl_share_cleanup(share); }
};

using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlSlist = std::unique_ptr<curl_slist, CurlSlistDeleter>;
using CurlShare = std::unique_ptr<CURLSH, CurlShareDeleter>;

// Runs curl_global_init exactly once (thread-safe) and returns whether it succeeded. It also makes the
// process ignore SIGPIPE: transfers run with CURLOPT_NOSIGNAL (the only safe choice with many threads),
// and then a TLS write to a peer that has gone away would otherwise end the program.
bool CurlGlobalReady();

// A new easy handle after the global set-up; null when either fails. Each call of a request routine
// makes its own, so no handle is ever shared between threads.
CurlEasy NewCurlEasy();

// Appends one line to a header list; false when curl runs out of memory (the list stays valid).
bool AppendHeader(CurlSlist& list, const char* line);

}  // namespace fw
