#include "net/read_url.h"

#include <string>

#include "net/curl_global.h"
#include "net/curl_transfer.h"
#include "net/net_limits.h"
#include "util/code_page.h"

namespace fw {
namespace {

constexpr const char* kReaderAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

}  // namespace

Bytes ReadUrl(std::string_view address) {
    CurlEasy easy = NewCurlEasy();
    CurlSlist headers;
    if (!easy || !AppendHeader(headers, "Accept: */*")) {
        return {};
    }
    const NetLimits limits = DefaultNetLimits();
    ResponseCapture capture(limits.maxBodyBytes);
    const std::string url = CurlUrl(address);

    CURL* handle = easy.get();
    ApplyCommonOptions(handle, std::string());
    ApplyNetLimits(handle, limits);
    CaptureResponse(handle, capture);
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(handle, CURLOPT_USERAGENT, kReaderAgent);
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
    // Like the platform's own reader, a moved page is followed to where it went (never from https down to
    // plain http); each hop is one more GET of the same form.
    ApplyRedirects(handle, /*follow=*/true, IsHttpsUrl(url));

    if (!TransferDone(curl_easy_perform(handle), capture)) {
        return {};
    }
    return std::move(capture.body);
}

Text ReadPageText(std::string_view address) {
    return Utf8ToGbk(ReadUrl(address));
}

}  // namespace fw
