#include "net/com_http_request.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/loopback_server.h"
#include "support/raw_client.h"
#include "support/scoped_net_limits.h"
#include "support/test_certificate.h"

namespace fw {
namespace {

using test::HeaderList;
using test::LoopbackServer;
using test::RecordedRequest;
using test::Responder;

constexpr std::chrono::seconds kWait(10);
constexpr const char* kAgentLine = "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)\r\n";

LoopbackServer AnsweringSite(std::string body = "answer", HeaderList headers = {}, int status = 200) {
    return LoopbackServer([body, headers, status](const RecordedRequest&, Responder& reply) {
        reply.Send(status, status == 200 ? "OK" : "Other", headers, body);
    });
}

RecordedRequest OnlyRequest(const LoopbackServer& site) {
    EXPECT_TRUE(site.WaitForRequests(1, kWait));
    const std::vector<RecordedRequest> requests = site.Requests();
    EXPECT_EQ(requests.size(), 1u);
    return requests.empty() ? RecordedRequest() : requests[0];
}

TEST(ComHttpRequestTest, PostsAFormWithEverythingElseLeftOut) {
    LoopbackServer site = AnsweringSite("<ul>results</ul>");
    const std::string url = site.Url("/index.php?m=vod-search");

    EXPECT_EQ(ComHttpRequest(url, 1, "wd=%61%62%63"), "<ul>results</ul>");
    EXPECT_EQ(OnlyRequest(site).raw,
              "POST /index.php?m=vod-search HTTP/1.1\r\n"
              "Host: " +
                  site.HostPort() +
                  "\r\n"
                  "Accept: */*\r\n"
                  "Referer: " +
                  url +
                  "\r\n"
                  "Accept-Language: zh-cn\r\n" +
                  kAgentLine +
                  "Content-Type: application/x-www-form-urlencoded\r\n"
                  "Content-Length: 12\r\n"
                  "\r\n"
                  "wd=%61%62%63");
}

TEST(ComHttpRequestTest, SendsTheUpdateCheckRequestLineByLine) {
    LoopbackServer site = AnsweringSite("{\"version\":\"2.1\"}");
    const std::string url = site.Url("/check");
    Text headers = "User-Agent: Ferrowind/2.0";

    EXPECT_EQ(
        ComHttpRequest(url, 1, "v=2.0", nullptr, nullptr, &headers, nullptr, nullptr, false, {}, {}, 10),
        "{\"version\":\"2.1\"}");
    EXPECT_EQ(headers, "User-Agent: Ferrowind/2.0\r\nAccept: */*\r\nReferer: " + url +
                           "\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded");
    EXPECT_EQ(OnlyRequest(site).raw, "POST /check HTTP/1.1\r\nHost: " + site.HostPort() + "\r\n" + headers +
                                         "\r\nContent-Length: 5\r\n\r\nv=2.0");
}

TEST(ComHttpRequestTest, CompletesTheHeaderBlockAndSendsABodyWithAnyVerb) {
    struct Case {
        const char* name;
        int method;
        std::string headers;
        std::string bodyText;
        std::string bodyBytes;
        const Text* cookies;
        std::string verb;
        std::string lines;  // header lines after Host, "{url}" for the URL
        std::string body;
    };
    const Text emptyCookies;
    const Text someCookies = "a=1; b=2";
    const std::string defaults =
        "Accept: */*\r\nReferer: {url}\r\nAccept-Language: zh-cn\r\n" + std::string(kAgentLine);
    const std::vector<Case> cases = {
        {"plain GET", 0, "", "", "", nullptr, "GET", defaults, ""},
        {"GET with a body", 0, "", "q=1", "", nullptr, "GET", defaults, "q=1"},
        {"own agent kept", 0, "User-Agent: X", "", "", nullptr, "GET",
         "User-Agent: X\r\nAccept: */*\r\nReferer: {url}\r\nAccept-Language: zh-cn\r\n", ""},
        {"lower-case type of a POST normalised", 1, "content-type: text/plain", "t", "", nullptr, "POST",
         "Content-Type: text/plain\r\n" + defaults, "t"},
        {"lower-case type of a PUT left alone", 3, "content-type: text/plain", "t", "", nullptr, "PUT",
         "content-type: text/plain\r\n" + defaults, "t"},
        {"PUT without a type", 3, "", "raw data", "", nullptr, "PUT", defaults, "raw data"},
        {"body bytes preferred", 1, "", "text", std::string("by\0tes", 6), nullptr, "POST",
         defaults + "Content-Type: application/x-www-form-urlencoded\r\n", std::string("by\0tes", 6)},
        {"empty cookie list still sent", 0, "", "", "", &emptyCookies, "GET", "Cookie:\r\n" + defaults, ""},
        {"cookie list comes first", 0, "X-A: 1", "", "", &someCookies, "GET",
         "Cookie: a=1; b=2\r\nX-A: 1\r\n" + defaults, ""},
        {"spaces around names and values trimmed", 0, " X-B :  2 ", "", "", nullptr, "GET",
         "X-B: 2\r\n" + defaults, ""},
        {"unknown method is GET", 8, "", "", "", nullptr, "GET", defaults, ""},
        {"DELETE with a body", 5, "", "id=3", "", nullptr, "DELETE", defaults, "id=3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoopbackServer site = AnsweringSite();
        const std::string url = site.Url("/api");
        Text headers = c.headers;
        Text cookies = c.cookies != nullptr ? *c.cookies : Text();

        EXPECT_EQ(ComHttpRequest(url, c.method, c.bodyText, c.cookies != nullptr ? &cookies : nullptr,
                                 nullptr, &headers, nullptr, nullptr, false, c.bodyBytes),
                  "answer");

        std::string lines = c.lines;
        lines.replace(lines.find("{url}"), 5, url);
        std::string wire = c.verb + " /api HTTP/1.1\r\nHost: " + site.HostPort() + "\r\n" + lines;
        if (!c.body.empty() || c.verb == "POST" || c.verb == "PUT") {
            wire += "Content-Length: " + std::to_string(c.body.size()) + "\r\n";
        }
        EXPECT_EQ(OnlyRequest(site).raw, wire + "\r\n" + c.body);
    }
}

TEST(ComHttpRequestTest, ReportsTheStatusAndTheResponseHeaders) {
    LoopbackServer site([](const RecordedRequest&, Responder& reply) {
        reply.SendRaw(
            "HTTP/1.1 404 Not Found\r\nSet-Cookie: a=1; path=/\r\nX-Note: gone\r\nContent-Length: "
            "9\r\n\r\nnot found");
    });
    Text responseHeaders;
    Text cookiesOut;
    int status = 0;
    EXPECT_EQ(ComHttpRequest(site.Url("/"), 0, {}, nullptr, &cookiesOut, nullptr, &responseHeaders, &status),
              "not found");
    EXPECT_EQ(status, 404);
    EXPECT_EQ(responseHeaders, "Set-Cookie: a=1; path=/\r\nX-Note: gone\r\nContent-Length: 9\r\n");
    EXPECT_EQ(cookiesOut, "a=1");
}

TEST(ComHttpRequestTest, FollowsRedirectionsUnlessToldNotTo) {
    LoopbackServer site([](const RecordedRequest& request, Responder& reply) {
        if (request.target == "/old") {
            reply.Send(302, "Found", {{"Location", "/new"}}, "moved");
        } else {
            reply.Send(200, "OK", {}, "final page");
        }
    });
    int status = 0;
    EXPECT_EQ(ComHttpRequest(site.Url("/old"), 0, {}, nullptr, nullptr, nullptr, nullptr, &status),
              "final page");
    EXPECT_EQ(status, 200);

    EXPECT_EQ(ComHttpRequest(site.Url("/old"), 0, {}, nullptr, nullptr, nullptr, nullptr, &status, true),
              "moved");
    EXPECT_EQ(status, 302);
    EXPECT_EQ(site.Requests().size(), 3u);
}

TEST(ComHttpRequestTest, KeepsACookieJarInTheCallersList) {
    LoopbackServer site([](const RecordedRequest& request, Responder& reply) {
        HeaderList set;
        if (request.target == "/login") {
            set = {{"Set-Cookie", "a=1; path=/"}, {"Set-Cookie", "b=2"}};
        } else if (request.target == "/logout") {
            set = {{"Set-Cookie", "a=deleted"}, {"Set-Cookie", "c=3"}};
        }
        reply.Send(200, "OK", set, "ok");
    });
    Text jar;
    Text cookiesOut;
    ComHttpRequest(site.Url("/login"), 0, {}, &jar, &cookiesOut);
    EXPECT_EQ(jar, "a=1; b=2");
    ComHttpRequest(site.Url("/logout"), 0, {}, &jar, &cookiesOut);
    EXPECT_EQ(jar, "c=3; b=2");
    EXPECT_EQ(cookiesOut, "c=3; b=2");
    ComHttpRequest(site.Url("/after"), 0, {}, &jar);

    ASSERT_TRUE(site.WaitForRequests(3, kWait));
    const std::vector<RecordedRequest> requests = site.Requests();
    EXPECT_TRUE(requests[0].HasHeader("Cookie"));
    EXPECT_EQ(requests[0].Header("Cookie"), "");
    EXPECT_EQ(requests[1].Header("Cookie"), "a=1; b=2");
    EXPECT_EQ(requests[2].Header("Cookie"), "c=3; b=2");
}

TEST(ComHttpRequestTest, SendsProxyCredentialsOnlyWhenAskedForBasic) {
    struct Case {
        std::string user;
        std::string password;
        int kind;
        std::string expected;  // empty: no Proxy-Authorization header
    };
    const std::vector<Case> cases = {
        {"user", "pass", 1, "Basic dXNlcjpwYXNz"},
        {"u", "", 1, "Basic dTo="},
        {"", "pass", 1, ""},
        {"user", "pass", 2, ""},
        {"user", "pass", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user + ":" + c.password + " kind " + std::to_string(c.kind));
        LoopbackServer proxy = AnsweringSite("proxied");
        EXPECT_EQ(ComHttpRequest("http://site.test/page", 0, {}, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 false, {}, proxy.HostPort(), 0, c.user, c.password, c.kind),
                  "proxied");
        const RecordedRequest request = OnlyRequest(proxy);
        EXPECT_EQ(request.target, "http://site.test/page");
        EXPECT_EQ(request.HeaderCount("Proxy-Authorization"), c.expected.empty() ? 0u : 1u);
        EXPECT_EQ(request.Header("Proxy-Authorization"), c.expected);
        if (!c.expected.empty()) {
            // Set right after opening, before every other header line.
            EXPECT_EQ(request.headers[1].first, "Proxy-Authorization");
        }
    }
}

TEST(ComHttpRequestTest, ProxyCredentialsForASecureSiteGoToTheTunnelRequestOnly) {
    LoopbackServer proxy(
        [](const RecordedRequest&, Responder& reply) { reply.Send(407, "Proxy Authentication Required"); });
    int status = -5;
    EXPECT_EQ(ComHttpRequest("https://secure.test/", 0, {}, nullptr, nullptr, nullptr, nullptr, &status,
                             false, {}, proxy.HostPort(), 0, "user", "pass"),
              "");
    const RecordedRequest connect = OnlyRequest(proxy);
    EXPECT_EQ(connect.method, "CONNECT");
    EXPECT_EQ(connect.Header("Proxy-Authorization"), "Basic dXNlcjpwYXNz");
    EXPECT_EQ(status, -5);
}

test::CertificateOptions WrongUsageOptions() {
    test::CertificateOptions options;
    options.commonName = "client.only";
    options.extendedKeyUsage = "clientAuth";
    return options;
}

test::CertificateOptions NotYetValidOptions() {
    test::CertificateOptions options;
    options.commonName = "127.0.0.1";
    options.notBefore = std::chrono::hours(24 * 365);
    options.notAfter = std::chrono::hours(24 * 365 * 2);
    return options;
}

TEST(ComHttpRequestTest, ReadsServersWithTheToleratedCertificateFaults) {
    struct Case {
        const char* name;
        test::CertificateOptions options;
    };
    const std::vector<Case> cases = {
        {"self-signed, expired, another name", test::ExpiredCertificateOptions("another.name")},
        {"not yet valid", NotYetValidOptions()},
        {"made for clients only", WrongUsageOptions()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const test::TestCertificate certificate = test::MakeCertificate(c.options);
        test::LoopbackServerOptions options;
        options.certificate = &certificate;
        LoopbackServer site(
            [](const RecordedRequest&, Responder& reply) { reply.Send(200, "OK", {}, "secure page"); },
            options);
        int status = 0;
        EXPECT_EQ(ComHttpRequest(site.Url("/"), 0, {}, nullptr, nullptr, nullptr, nullptr, &status),
                  "secure page");
        EXPECT_EQ(status, 200);
    }
}

TEST(ComHttpRequestTest, OtherCertificateFaultsStillFail) {
    // The issuer is not allowed to sign certificates: not among the faults that are tolerated.
    test::CertificateOptions issuerOptions;
    issuerOptions.commonName = "Not An Authority";
    const test::TestCertificate issuer = test::MakeCertificate(issuerOptions);
    const test::TestCertificate leaf = test::MakeCertificate({}, &issuer);
    test::LoopbackServerOptions options;
    options.certificate = &leaf;
    options.chain = {&issuer};
    LoopbackServer site(
        [](const RecordedRequest&, Responder& reply) { reply.Send(200, "OK", {}, "secure page"); }, options);
    EXPECT_EQ(ComHttpRequest(site.Url("/")), "");

    // The same chain with an issuer that may sign is read.
    issuerOptions.isAuthority = true;
    const test::TestCertificate authority = test::MakeCertificate(issuerOptions);
    const test::TestCertificate signedLeaf = test::MakeCertificate({}, &authority);
    options.certificate = &signedLeaf;
    options.chain = {&authority};
    LoopbackServer goodChain(
        [](const RecordedRequest&, Responder& reply) { reply.Send(200, "OK", {}, "secure page"); }, options);
    EXPECT_EQ(ComHttpRequest(goodChain.Url("/")), "secure page");
}

TEST(ComHttpRequestTest, ItsTimeOutEndsAStallingSite) {
    LoopbackServer silent([](const RecordedRequest&, Responder& reply) { reply.Stall(); });
    LoopbackServer halfway([](const RecordedRequest&, Responder& reply) {
        reply.SendRaw("HTTP/1.1 200 OK\r\nSet-Cookie: h=1\r\nContent-Length: 100000\r\n\r\nthe first part");
        reply.Stall();
    });
    int status = -5;
    Text cookiesOut = "before";
    EXPECT_EQ(ComHttpRequest(silent.Url("/"), 0, {}, nullptr, &cookiesOut, nullptr, nullptr, &status, false,
                             {}, {}, 1),
              "");
    EXPECT_EQ(ComHttpRequest(halfway.Url("/"), 0, {}, nullptr, &cookiesOut, nullptr, nullptr, &status, false,
                             {}, {}, 1),
              "");
    EXPECT_EQ(cookiesOut, "before");
    EXPECT_EQ(status, -5);
}

TEST(ComHttpRequestTest, AnEndlessBodyIsCutAtTheCap) {
    constexpr std::size_t kCap = 48 * 1024;
    test::ScopedNetLimits quick(test::QuickNetLimits(kCap));
    LoopbackServer endless([](const RecordedRequest&, Responder& reply) {
        if (reply.SendRaw("HTTP/1.1 200 OK\r\n\r\n")) {
            reply.Stream("0123456789");
        }
    });
    int status = 0;
    const Bytes body = ComHttpRequest(endless.Url("/"), 0, {}, nullptr, nullptr, nullptr, nullptr, &status);
    ASSERT_EQ(body.size(), kCap);
    EXPECT_EQ(body.substr(0, 12), "012345678901");
    EXPECT_EQ(status, 200);
}

TEST(ComHttpRequestTest, ARequestObjectKeepsItsConnectionBetweenCalls) {
    test::LoopbackServerOptions options;
    options.keepAlive = true;
    LoopbackServer site([](const RecordedRequest& request,
                           Responder& reply) { reply.Send(200, "OK", {}, "at " + request.target); },
                        options);

    HttpRequestObject object;
    EXPECT_EQ(ComHttpRequest(site.Url("/1"), 0, {}, nullptr, nullptr, nullptr, nullptr, nullptr, false, {},
                             {}, 0, {}, {}, 1, &object),
              "at /1");
    EXPECT_EQ(ComHttpRequest(site.Url("/2"), 1, "x", nullptr, nullptr, nullptr, nullptr, nullptr, false, {},
                             {}, 0, {}, {}, 1, &object),
              "at /2");
    EXPECT_EQ(ComHttpRequest(site.Url("/3")), "at /3");
    EXPECT_EQ(ComHttpRequest(site.Url("/4")), "at /4");

    ASSERT_TRUE(site.WaitForRequests(4, kWait));
    const std::vector<RecordedRequest> requests = site.Requests();
    EXPECT_EQ(requests[0].connection, requests[1].connection);
    EXPECT_NE(requests[2].connection, requests[1].connection);
    EXPECT_NE(requests[3].connection, requests[2].connection);
    // The second call's options are its own: nothing of the first call's request carries over.
    EXPECT_EQ(requests[1].method, "POST");
    EXPECT_EQ(requests[2].method, "GET");
}

TEST(ComHttpRequestTest, AnUnreachableSiteGivesEmptyBytes) {
    test::RefusingPort refusing;
    Text cookies = "a=1";
    int status = -5;
    EXPECT_EQ(ComHttpRequest("http://127.0.0.1:" + std::to_string(refusing.port()) + "/", 0, {}, &cookies,
                             nullptr, nullptr, nullptr, &status),
              "");
    EXPECT_EQ(cookies, "a=1");
    EXPECT_EQ(status, -5);
}

TEST(ComHttpRequestTest, ManyThreadsRequestAtOnce) {
    LoopbackServer site([](const RecordedRequest& request, Responder& reply) {
        reply.Send(200, "OK", {{"Set-Cookie", "n=" + request.body}}, "got " + request.body);
    });
    const test::TestCertificate certificate = test::MakeCertificate(test::ExpiredCertificateOptions("x"));
    test::LoopbackServerOptions options;
    options.certificate = &certificate;
    LoopbackServer secure([](const RecordedRequest& request,
                             Responder& reply) { reply.Send(200, "OK", {}, "secure " + request.body); },
                          options);
    constexpr int kThreads = 8;
    std::vector<Bytes> bodies(kThreads);
    std::vector<Text> jars(kThreads);
    std::vector<std::thread> workers;
    for (int i = 0; i < kThreads; ++i) {
        workers.emplace_back([&, i] {
            const std::string n = std::to_string(i);
            const LoopbackServer& target = i % 2 == 0 ? site : secure;
            bodies[i] = ComHttpRequest(target.Url("/"), 1, n, &jars[i]);
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    for (int i = 0; i < kThreads; ++i) {
        const std::string n = std::to_string(i);
        EXPECT_EQ(bodies[i], (i % 2 == 0 ? "got " : "secure ") + n);
        EXPECT_EQ(jars[i], i % 2 == 0 ? "n=" + n : "");
    }
}

}  // namespace
}  // namespace fw
