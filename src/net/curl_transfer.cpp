#include "net/curl_transfer.h"

#include <algorithm>

#include "util/text_primitives.h"

namespace fw {
namespace {

std::size_t WriteBody(char* data, std::size_t size, std::size_t count, void* userData) {
    auto* capture = static_cast<ResponseCapture*>(userData);
    const std::size_t offered = size * count;
    const std::size_t room = capture->maxBodyBytes - std::min(capture->maxBodyBytes, capture->body.size());
    const std::size_t taken = std::min(offered, room);
    capture->body.append(data, taken);
    if (taken < offered) {
        capture->bodyCut = true;
    }
    return taken;
}

std::size_t WriteHeader(char* data, std::size_t size, std::size_t count, void* userData) {
    auto* capture = static_cast<ResponseCapture*>(userData);
    const std::size_t length = size * count;
    capture->headerBytesSeen += length;
    if (capture->headerBytesSeen > kMaxHeaderBytes) {
        return 0;
    }
    const std::string_view line(data, length);
    if (line.starts_with("HTTP/")) {
        capture->rawHeaders.clear();
        capture->statusSeen = true;
    }
    capture->rawHeaders.append(line);
    return length;
}

bool NeedsEscape(unsigned char byte) {
    return byte <= 0x20 || byte >= 0x7F;
}

}  // namespace

void CaptureResponse(CURL* easy, ResponseCapture& capture) {
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &capture);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, WriteHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &capture);
}

bool TransferDone(CURLcode code, const ResponseCapture& capture) {
    return code == CURLE_OK || (code == CURLE_WRITE_ERROR && capture.bodyCut);
}

std::string HeaderLinesWithoutStatus(std::string_view rawHeaders) {
    std::string lines;
    bool statusLine = true;
    while (!rawHeaders.empty()) {
        const std::size_t end = rawHeaders.find('\n');
        std::string_view line = rawHeaders.substr(0, end);
        rawHeaders = end == std::string_view::npos ? std::string_view() : rawHeaders.substr(end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (statusLine) {
            statusLine = false;
            continue;
        }
        if (!line.empty()) {
            lines.append(line);
            lines.append("\r\n");
        }
    }
    return lines;
}

void ApplyNetLimits(CURL* easy, const NetLimits& limits) {
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, limits.connectTimeoutMs);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, limits.lowSpeedBytesPerSecond);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, limits.lowSpeedSeconds);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, limits.totalTimeoutMs);
}

void ApplyCommonOptions(CURL* easy, const std::string& proxy) {
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_PROXY, proxy.c_str());
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
}

std::string CurlUrl(std::string_view address) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    std::string url;
    url.reserve(address.size() + 8);
    if (address.find("://") == std::string_view::npos) {
        url = "http://";
    }
    for (const char ch : address) {
        const auto byte = static_cast<unsigned char>(ch);
        if (NeedsEscape(byte)) {
            url += '%';
            url += kHexDigits[byte >> 4];
            url += kHexDigits[byte & 0x0F];
        } else {
            url += ch;
        }
    }
    return url;
}

bool IsHttpsUrl(std::string_view url) {
    static constexpr std::string_view kHttps = "https://";
    return url.size() >= kHttps.size() &&
           std::equal(kHttps.begin(), kHttps.end(), url.begin(), [](char lower, char ch) {
               return lower == (ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch);
           });
}

bool AppendHeaderLine(CurlSlist& list, std::string_view line) {
    std::string clean;
    clean.reserve(line.size() + 1);
    for (const char ch : line) {
        if (ch != '\r' && ch != '\n') {
            clean += ch;
        }
    }
    const std::size_t colon = clean.find(':');
    if (colon == std::string::npos) {
        return true;
    }
    if (clean.find_first_not_of(" \t", colon + 1) == std::string::npos) {
        clean.resize(colon);
        clean += ';';
    }
    return AppendHeader(list, clean.c_str());
}

Text CompleteBrowserHeaders(Text block, std::string_view url) {
    if (block.empty()) {
        block = "Accept: */*";
    } else if (FindText(block, "Accept:") == -1) {
        block += "\r\nAccept: */*";
    }
    if (FindText(block, "Referer:") == -1) {
        block += "\r\nReferer: ";
        block += url;
    }
    if (FindText(block, "Accept-Language:") == -1) {
        block += "\r\nAccept-Language: zh-cn";
    }
    return block;
}

bool SuppressCurlExtraHeaders(CurlSlist& list) {
    return AppendHeader(list, "Content-Type:") && AppendHeader(list, "Expect:") &&
           AppendHeader(list, "Proxy-Connection:");
}

void ApplyRedirects(CURL* easy, bool follow, bool secure) {
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, follow ? 1L : 0L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
}

void ApplyVerbAndBody(CURL* easy, const std::string& verb, const Bytes& body, bool sendsBody) {
    if (verb == "HEAD") {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
        return;
    }
    if (verb == "GET" && !sendsBody) {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
        return;
    }
    if (verb != "POST") {
        curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, verb.c_str());
    }
    if (sendsBody) {
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body.data());
    }
}

}  // namespace fw
