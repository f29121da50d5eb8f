#include "net/inet_request.h"

#include <array>
#include <mutex>
#include <string>

#include "net/cookie_lists.h"
#include "net/curl_global.h"
#include "net/curl_transfer.h"
#include "net/net_limits.h"
#include "net/url_parts.h"
#include "util/text_markers.h"
#include "util/text_primitives.h"
#include "util/text_split.h"

namespace fw {
namespace {

constexpr const char* kDefaultAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

// The cookie store shared by every call that is given no cookie list, as a browser's store is shared by
// all its windows. It lives as long as the process: a worker may still be using it while the program
// ends, so it is never cleaned up.
class SharedCookieJar {
  public:
    static CURLSH* Handle() {
        static SharedCookieJar jar;
        return jar.share_;
    }

  private:
    SharedCookieJar() {
        share_ = CurlGlobalReady() ? curl_share_init() : nullptr;
        if (share_ != nullptr) {
            curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, Lock);
            curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, Unlock);
            curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
            curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
        }
    }

    static void Lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
        static_cast<SharedCookieJar*>(self)->locks_[Slot(data)].lock();
    }
    static void Unlock(CURL*, curl_lock_data data, void* self) {
        static_cast<SharedCookieJar*>(self)->locks_[Slot(data)].unlock();
    }
    static std::size_t Slot(curl_lock_data data) {
        const auto slot = static_cast<std::size_t>(data);
        return slot < CURL_LOCK_DATA_LAST ? slot : 0;
    }

    CURLSH* share_ = nullptr;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> locks_;
};

// The agent string is worked out from the caller's header text before it is completed.
Text AgentString(const Text& headers) {
    if (FindText(headers, "User-Agent:", 1, true) == -1) {
        return kDefaultAgent;
    }
    Text agent = TrimSpaces(TextBetween(headers + "\r\n", "User-Agent:", "\r\n"));
    if (agent.empty()) {
        agent = HeaderValue(headers);
    }
    // The fallback takes everything after the first colon of the whole text, which may span lines; only
    // its first line can be sent as an agent.
    const std::size_t lineEnd = agent.find_first_of("\r\n");
    if (lineEnd != Text::npos) {
        agent.resize(lineEnd);
    }
    return agent;
}

Text CompleteHeaderBlock(Text block, std::string_view url, int method, const Text* cookies) {
    block = CompleteBrowserHeaders(std::move(block), url);
    if (method == 1 && FindText(block, "Content-Type:") == -1) {
        block += "\r\nContent-Type: application/x-www-form-urlencoded";
    }
    if (cookies != nullptr && !cookies->empty()) {
        block += FindText(*cookies, "Cookie:") != -1 ? "\r\n" : "\r\nCookie: ";
        block += *cookies;
    }
    return block;
}

}  // namespace

const char* VerbName(int method) {
    static constexpr std::array<const char*, 8> kVerbs = {"GET",     "POST",   "HEAD",  "PUT",
                                                          "OPTIONS", "DELETE", "TRACE", "CONNECT"};
    return method >= 0 && method < static_cast<int>(kVerbs.size()) ? kVerbs[method] : kVerbs[0];
}

Bytes InetRequest(std::string_view url, int method, std::string_view bodyText, Text* cookies,
                  Text* cookiesOut, Text* headers, Text* responseHeaders, bool noRedirect, Bytes* bodyBytes,
                  std::string_view proxy, bool mergeCookies) {
    if (method < 0 || method > 7) {
        method = 0;
    }
    const std::string verb = VerbName(method);
    const bool secure = IsHttpsUrl(url);
    const Text callerHeaders = headers != nullptr ? *headers : Text();
    const Text agent = AgentString(callerHeaders);

    CurlEasy easy = NewCurlEasy();
    if (!easy) {
        return {};
    }
    CURL* handle = easy.get();

    const Text host = UrlHost(url);
    const int port = UrlPort(url);
    const std::string target = CurlUrl((secure ? "https://" : "http://") + host + ":" + std::to_string(port) +
                                       std::string(UrlPath(url)));

    const Text block = CompleteHeaderBlock(callerHeaders, url, method, cookies);
    CurlSlist lines;
    for (const Text& piece : SplitText(block, "\r\n")) {
        if (!piece.empty() && !AppendHeaderLine(lines, piece)) {
            return {};
        }
    }
    if (!SuppressCurlExtraHeaders(lines)) {
        return {};
    }

    // A body goes with every verb but GET and HEAD; POST and PUT always declare one, even when empty.
    const bool bodyAllowed = verb != "GET" && verb != "HEAD";
    const Bytes body = bodyBytes != nullptr && !bodyBytes->empty() ? *bodyBytes : Bytes(bodyText);
    const bool sendsBody = bodyAllowed && (!body.empty() || verb == "POST" || verb == "PUT");

    const NetLimits limits = DefaultNetLimits();
    ResponseCapture capture(limits.maxBodyBytes);
    ApplyCommonOptions(handle, std::string(proxy));
    ApplyNetLimits(handle, limits);
    CaptureResponse(handle, capture);
    curl_easy_setopt(handle, CURLOPT_URL, target.c_str());
    curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(handle, CURLOPT_USERAGENT, agent.c_str());
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, lines.get());
    ApplyRedirects(handle, !noRedirect, secure);
    if (cookies == nullptr) {
        CURLSH* jar = SharedCookieJar::Handle();
        if (jar != nullptr) {
            curl_easy_setopt(handle, CURLOPT_SHARE, jar);
            curl_easy_setopt(handle, CURLOPT_COOKIEFILE, "");
        }
    }
    ApplyVerbAndBody(handle, verb, body, sendsBody);

    curl_easy_perform(handle);
    easy.reset();

    // No answer at all counts as a connection that could not be made: nothing the caller gave changes.
    if (!capture.statusSeen) {
        return {};
    }
    if (headers != nullptr) {
        *headers = block;
    }
    if (bodyBytes != nullptr && bodyBytes->empty() && sendsBody) {
        *bodyBytes = body;
    }
    if (responseHeaders != nullptr) {
        *responseHeaders = capture.rawHeaders;
    }
    Text received = CollectSetCookies(capture.rawHeaders);
    if (mergeCookies && cookies != nullptr) {
        received = MergeCookies(*cookies, received);
    }
    if (cookiesOut != nullptr) {
        *cookiesOut = received;
    }
    return std::move(capture.body);
}

}  // namespace fw
