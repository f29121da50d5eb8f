#include "net/com_http_request.h"

#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

#include <chrono>
#include <optional>
#include <string>

#include "net/cookie_lists.h"
#include "net/curl_global.h"
#include "net/curl_transfer.h"
#include "net/inet_request.h"
#include "net/net_limits.h"
#include "util/codec.h"
#include "util/text_primitives.h"
#include "util/text_split.h"

namespace fw {

struct HttpRequestObject::State {
    // Kept from call to call, and with it curl's live connections and TLS sessions.
    CurlEasy easy = NewCurlEasy();
};

HttpRequestObject::HttpRequestObject() : state_(std::make_unique<State>()) {}
HttpRequestObject::~HttpRequestObject() = default;

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kDefaultAgentLine = "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

// The object's own time-outs, used when the caller asks for them with -1.
constexpr long kOwnConnectTimeoutMs = 60'000;
constexpr long kOwnSendReceiveTimeoutMs = 30'000;
constexpr long kDefaultPhaseTimeoutMs = 15'000;

// Ends a transfer once no byte has moved either way for `limitMs`: the send and receive time-outs.
struct StallWatch {
    long limitMs;
    Clock::time_point lastMove = Clock::now();
    curl_off_t down = 0;
    curl_off_t up = 0;
};

int CheckStall(void* userData, curl_off_t, curl_off_t downNow, curl_off_t, curl_off_t upNow) {
    auto* watch = static_cast<StallWatch*>(userData);
    const Clock::time_point now = Clock::now();
    if (downNow != watch->down || upNow != watch->up) {
        watch->down = downNow;
        watch->up = upNow;
        watch->lastMove = now;
        return 0;
    }
    const auto still = std::chrono::duration_cast<std::chrono::milliseconds>(now - watch->lastMove);
    return still.count() > watch->limitMs ? 1 : 0;
}

// The certificate faults this routine tolerates: an authority it does not know (a self-signed
// certificate included), a certificate made for another purpose, and one out of its validity dates. A
// name that does not match is tolerated by not checking the name at all. Every other fault still fails.
bool IsToleratedCertificateError(int error) {
    switch (error) {
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
        case X509_V_ERR_CERT_UNTRUSTED:
        case X509_V_ERR_INVALID_PURPOSE:
        case X509_V_ERR_CERT_HAS_EXPIRED:
        case X509_V_ERR_CERT_NOT_YET_VALID:
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH:
            return true;
        default:
            return false;
    }
}

int VerifyTolerantly(int preverifyOk, X509_STORE_CTX* context) {
    if (preverifyOk == 1) {
        return 1;
    }
    if (IsToleratedCertificateError(X509_STORE_CTX_get_error(context))) {
        // Cleared so that the verdict curl reads after the handshake is "verified".
        X509_STORE_CTX_set_error(context, X509_V_OK);
        return 1;
    }
    return 0;
}

CURLcode InstallTolerantVerify(CURL*, void* sslContext, void*) {
    SSL_CTX_set_verify(static_cast<SSL_CTX*>(sslContext), SSL_VERIFY_PEER, VerifyTolerantly);
    return CURLE_OK;
}

Text CompleteHeaderBlock(Text block, std::string_view url, int method) {
    block = CompleteBrowserHeaders(std::move(block), url);
    if (FindText(block, "User-Agent:") == -1) {
        block += "\r\n";
        block += kDefaultAgentLine;
    }
    if (method == 1) {
        block = ReplaceText(block, "content-type", "Content-Type", 1, -1, true);
        if (FindText(block, "Content-Type:") == -1) {
            block += "\r\nContent-Type: application/x-www-form-urlencoded";
        }
    }
    return block;
}

// One SetRequestHeader call: the line is rebuilt from the trimmed name and value.
bool SetRequestHeader(CurlSlist& list, std::string_view line) {
    const Text name = HeaderName(line);
    if (name.empty()) {
        return true;
    }
    return AppendHeaderLine(list, name + ": " + HeaderValue(line));
}

}  // namespace

Bytes ComHttpRequest(std::string_view url, int method, std::string_view bodyText, Text* cookies,
                     Text* cookiesOut, Text* headers, Text* responseHeaders, int* status, bool noRedirect,
                     std::string_view bodyBytes, std::string_view proxy, int timeoutSeconds,
                     std::string_view proxyUser, std::string_view proxyPassword, int proxyAuthKind,
                     HttpRequestObject* requestObject, bool mergeCookies) {
    if (method < 0 || method > 7) {
        method = 0;
    }
    const std::string verb = VerbName(method);

    std::optional<HttpRequestObject> ownObject;
    if (requestObject == nullptr) {
        requestObject = &ownObject.emplace();
    }
    CURL* handle = requestObject->state().easy.get();
    if (handle == nullptr) {
        return {};
    }
    curl_easy_reset(handle);

    long connectMs = kOwnConnectTimeoutMs;
    long stallMs = kOwnSendReceiveTimeoutMs;
    if (timeoutSeconds != -1) {
        const long phaseMs = timeoutSeconds <= 0 ? kDefaultPhaseTimeoutMs : timeoutSeconds * 1000L;
        connectMs = phaseMs;
        stallMs = phaseMs;
    }

    const bool tunnelled = !proxy.empty() && IsHttpsUrl(url);
    CurlSlist requestLines;
    CurlSlist proxyLines;
    if (!proxy.empty() && !proxyUser.empty() && proxyAuthKind == kProxyAuthBasic) {
        const Text credentials = std::string(proxyUser) + ":" + std::string(proxyPassword);
        const Text line = "Proxy-Authorization: Basic " + Base64Encode(credentials);
        // Through a tunnel the header belongs to the CONNECT request; it must never reach the site.
        if (!AppendHeaderLine(tunnelled ? proxyLines : requestLines, line)) {
            return {};
        }
    }

    const Text block = CompleteHeaderBlock(headers != nullptr ? *headers : Text(), url, method);
    if (headers != nullptr) {
        *headers = block;
    }
    if (cookies != nullptr && !AppendHeaderLine(requestLines, "Cookie: " + *cookies)) {
        return {};
    }
    if (FindText(block, "\r\n") == -1) {
        if (!SetRequestHeader(requestLines, block)) {
            return {};
        }
    } else {
        for (const Text& piece : SplitText(block, "\r\n")) {
            if (!piece.empty() && !SetRequestHeader(requestLines, piece)) {
                return {};
            }
        }
    }
    if (!SuppressCurlExtraHeaders(requestLines)) {
        return {};
    }

    const Bytes body = !bodyBytes.empty() ? Bytes(bodyBytes) : Bytes(bodyText);
    const bool sendsBody = verb != "HEAD" && (!body.empty() || verb == "POST" || verb == "PUT");

    const NetLimits limits = DefaultNetLimits();
    ResponseCapture capture(limits.maxBodyBytes);
    StallWatch watch{stallMs};
    const std::string target = CurlUrl(url);

    ApplyCommonOptions(handle, std::string(proxy));
    CaptureResponse(handle, capture);
    curl_easy_setopt(handle, CURLOPT_URL, target.c_str());
    curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, requestLines.get());
    if (proxyLines) {
        curl_easy_setopt(handle, CURLOPT_PROXYHEADER, proxyLines.get());
    }
    ApplyRedirects(handle, !noRedirect, IsHttpsUrl(url));
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, connectMs);
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, limits.totalTimeoutMs);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, CheckStall);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &watch);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(handle, CURLOPT_SSL_CTX_FUNCTION, InstallTolerantVerify);
    ApplyVerbAndBody(handle, verb, body, sendsBody);

    const CURLcode outcome = curl_easy_perform(handle);
    long responseCode = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &responseCode);
    // The lists and the body are about to go; the kept handle must not point at them.
    curl_easy_reset(handle);

    if (!TransferDone(outcome, capture)) {
        return {};
    }
    const std::string responseLines = HeaderLinesWithoutStatus(capture.rawHeaders);
    if (responseHeaders != nullptr) {
        *responseHeaders = responseLines;
    }
    if (status != nullptr) {
        *status = static_cast<int>(responseCode);
    }
    Text received = CollectSetCookies(responseLines);
    if (mergeCookies && cookies != nullptr) {
        received = MergeCookies(*cookies, received);
    }
    if (cookiesOut != nullptr) {
        *cookiesOut = received;
    }
    return std::move(capture.body);
}

}  // namespace fw
