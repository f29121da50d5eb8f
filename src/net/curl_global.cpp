#include "net/curl_global.h"

#include <csignal>

namespace fw {

bool CurlGlobalReady() {
    static const bool ready = [] {
        std::signal(SIGPIPE, SIG_IGN);
        return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    }();
    return ready;
}

CurlEasy NewCurlEasy() {
    if (!CurlGlobalReady()) {
        return nullptr;
    }
    return CurlEasy(curl_easy_init());
}

bool AppendHeader(CurlSlist& list, const char* line) {
    curl_slist* grown = curl_slist_append(list.get(), line);
    if (grown == nullptr) {
        return false;
    }
    list.release();
    list.reset(grown);
    return true;
}

}  // namespace fw
