#include "net/inet_request.h"

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

LoopbackServer AnsweringSite(std::string body = "answer", HeaderList headers = {}) {
    return LoopbackServer(
        [body, headers](const RecordedRequest&, Responder& reply) { reply.Send(200, "OK", headers, body); });
}

RecordedRequest OnlyRequest(const LoopbackServer& site) {
    EXPECT_TRUE(site.WaitForRequests(1, kWait));
    const std::vector<RecordedRequest> requests = site.Requests();
    EXPECT_EQ(requests.size(), 1u);
    return requests.empty() ? RecordedRequest() : requests[0];
}

TEST(InetRequestTest, PostsASearchFormAsTheVideoSitesGetIt) {
    LoopbackServer site = AnsweringSite("<ul>results</ul>");
    const std::string url = site.Url("/index.php?m=vod-search");

    const Bytes body = InetRequest(url, 1, "wd=%61%62%63");

    EXPECT_EQ(body, "<ul>results</ul>");
    EXPECT_EQ(OnlyRequest(site).raw,
              "POST /index.php?m=vod-search HTTP/1.1\r\n"
              "Host: " +
                  site.HostPort() + "\r\n" + kAgentLine +
                  "Accept: */*\r\n"
                  "Referer: " +
                  url +
                  "\r\n"
                  "Accept-Language: zh-cn\r\n"
                  "Content-Type: application/x-www-form-urlencoded\r\n"
                  "Content-Length: 12\r\n"
                  "\r\n"
                  "wd=%61%62%63");
}

// The header block is completed in a fixed order, written back, and sent line by line in that order
// after the request line, Host and User-Agent; a body adds its length last.
TEST(InetRequestTest, CompletesTheHeaderBlockAndSendsItInOrder) {
    struct Case {
        const char* name;
        int method;
        std::string headers;
        std::string bodyText;
        const Text* cookies;
        std::string verb;
        std::string block;  // "{url}" stands for the request's URL
        std::string body;   // expected body on the wire
    };
    const Text someCookies = "a=1; b=2";
    const Text wholeCookieLine = "Cookie: sid=9";
    const Text noCookies;
    const std::vector<Case> cases = {
        {"plain GET", 0, "", "", nullptr, "GET", "Accept: */*\r\nReferer: {url}\r\nAccept-Language: zh-cn",
         ""},
        {"own Accept kept", 0, "Accept: text/html", "", nullptr, "GET",
         "Accept: text/html\r\nReferer: {url}\r\nAccept-Language: zh-cn", ""},
        {"Accept-Language is no Accept", 0, "Accept-Language: en", "", nullptr, "GET",
         "Accept-Language: en\r\nAccept: */*\r\nReferer: {url}", ""},
        {"own Referer and type kept", 1, "Referer: http://elsewhere/\r\nContent-Type: text/plain", "x=1",
         nullptr, "POST",
         "Referer: http://elsewhere/\r\nContent-Type: text/plain\r\nAccept: */*\r\nAccept-Language: zh-cn",
         "x=1"},
        {"GET sends no body and no type", 0, "", "ignored=1", nullptr, "GET",
         "Accept: */*\r\nReferer: {url}\r\nAccept-Language: zh-cn", ""},
        {"PUT sends its body without a type", 3, "", "raw data", nullptr, "PUT",
         "Accept: */*\r\nReferer: {url}\r\nAccept-Language: zh-cn", "raw data"},
        {"cookie list", 0, "", "", &someCookies, "GET",
         "Accept: */*\r\nReferer: {url}\r\nAccept-Language: zh-cn\r\nCookie: a=1; b=2", ""},
        {"whole cookie line", 0, "", "", &wholeCookieLine, "GET",
         "Accept: */*\r\nReferer: {url}\r\nAccept-Language: zh-cn\r\nCookie: sid=9", ""},
        {"empty cookie list sends no Cookie", 0, "", "", &noCookies, "GET",
         "Accept: */*\r\nReferer: {url}\r\nAccept-Language: zh-cn", ""},
        {"unknown method 9 is GET", 9, "", "x", nullptr, "GET",
         "Accept: */*\r\nReferer: {url}\r\nAccept-Language: zh-cn", ""},
        {"method -1 is GET", -1, "", "", nullptr, "GET",
         "Accept: */*\r\nReferer: {url}\r\nAccept-Language: zh-cn", ""},
        {"DELETE", 5, "X-Token: 7", "", nullptr, "DELETE",
         "X-Token: 7\r\nAccept: */*\r\nReferer: {url}\r\nAccept-Language: zh-cn", ""},
        {"OPTIONS with a body", 4, "", "q", nullptr, "OPTIONS",
         "Accept: */*\r\nReferer: {url}\r\nAccept-Language: zh-cn", "q"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoopbackServer site = AnsweringSite();
        const std::string url = site.Url("/form");
        Text headers = c.headers;
        Text cookies = c.cookies != nullptr ? *c.cookies : Text();

        const Bytes answer = InetRequest(url, c.method, c.bodyText, c.cookies != nullptr ? &cookies : nullptr,
                                         nullptr, &headers);

        std::string block = c.block;
        if (const std::size_t at = block.find("{url}"); at != std::string::npos) {
            block.replace(at, 5, url);
        }
        EXPECT_EQ(answer, "answer");
        EXPECT_EQ(headers, block);
        std::string wire =
            c.verb + " /form HTTP/1.1\r\nHost: " + site.HostPort() + "\r\n" + kAgentLine + block + "\r\n";
        if (!c.body.empty() || c.verb == "POST" || c.verb == "PUT") {
            wire += "Content-Length: " + std::to_string(c.body.size()) + "\r\n";
        }
        EXPECT_EQ(OnlyRequest(site).raw, wire + "\r\n" + c.body);
    }
}

TEST(InetRequestTest, WorksOutTheAgentStringFromTheHeaders) {
    // The agent string is what the connection presents of itself, so it shows in the tunnel request that
    // a proxy receives for a secure address; the caller's own header line goes to the site unchanged.
    struct Case {
        std::string headers;
        std::string agent;
    };
    const std::vector<Case> cases = {
        {"", "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"},
        {"User-Agent:  Ferrowind/2.0 ", "Ferrowind/2.0"},
        {"user-agent: X", "X"},
        {"Accept: text/html\r\nuser-agent: X", "text/html"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.headers);
        LoopbackServer proxy([](const RecordedRequest&, Responder& reply) { reply.Send(403, "Forbidden"); });
        Text headers = c.headers;
        EXPECT_EQ(InetRequest("https://secure.test/x", 0, {}, nullptr, nullptr, &headers, nullptr, false,
                              nullptr, proxy.HostPort()),
                  "");
        const RecordedRequest connect = OnlyRequest(proxy);
        EXPECT_EQ(connect.method, "CONNECT");
        EXPECT_EQ(connect.target, "secure.test:443");
        EXPECT_EQ(connect.Header("User-Agent"), c.agent);
    }
}

TEST(InetRequestTest, ACallersAgentLineIsTheOnlyOneSent) {
    LoopbackServer site = AnsweringSite();
    Text headers = "user-agent: X";
    InetRequest(site.Url("/"), 0, {}, nullptr, nullptr, &headers);

    const RecordedRequest request = OnlyRequest(site);
    EXPECT_EQ(request.HeaderCount("User-Agent"), 1u);
    EXPECT_EQ(request.raw.substr(0, request.raw.find("Accept:")),
              "GET / HTTP/1.1\r\nHost: " + site.HostPort() + "\r\nuser-agent: X\r\n");
}

TEST(InetRequestTest, HeadAsksForTheHeadersOnly) {
    LoopbackServer site([](const RecordedRequest&, Responder& reply) {
        reply.Send(200, "OK", {{"Content-Length", "11"}, {"X-Kind", "head"}}, "");
    });
    Text responseHeaders;
    const Bytes body = InetRequest(site.Url("/file"), 2, {}, nullptr, nullptr, nullptr, &responseHeaders);

    EXPECT_EQ(body, "");
    EXPECT_EQ(OnlyRequest(site).raw.substr(0, 21), "HEAD /file HTTP/1.1\r\n");
    EXPECT_NE(responseHeaders.find("X-Kind: head\r\n"), std::string::npos);
}

TEST(InetRequestTest, SecureUrlsInCapitalsAndUrlsWithoutSchemeGoToTheirDefaultPorts) {
    LoopbackServer proxy(
        [](const RecordedRequest&, Responder& reply) { reply.Send(200, "OK", {}, "via proxy"); });
    EXPECT_EQ(InetRequest("HTTPS://Site.Test/A", 0, {}, nullptr, nullptr, nullptr, nullptr, false, nullptr,
                          proxy.HostPort()),
              "");
    EXPECT_EQ(InetRequest("plain.test/Path?Q=1", 0, {}, nullptr, nullptr, nullptr, nullptr, false, nullptr,
                          proxy.HostPort()),
              "via proxy");

    ASSERT_TRUE(proxy.WaitForRequests(2, kWait));
    const std::vector<RecordedRequest> requests = proxy.Requests();
    EXPECT_EQ(requests[0].method, "CONNECT");
    EXPECT_EQ(requests[0].target, "site.test:443");
    EXPECT_EQ(requests[1].method, "GET");
    EXPECT_EQ(requests[1].target, "http://plain.test/Path?Q=1");
    EXPECT_EQ(requests[1].Header("Host"), "plain.test");
}

TEST(InetRequestTest, KeepsACookieJarInTheCallersList) {
    LoopbackServer site([](const RecordedRequest& request, Responder& reply) {
        HeaderList set;
        if (request.target == "/login") {
            set = {{"Set-Cookie", "a=1; path=/"}, {"Set-Cookie", "b=2"}};
        } else if (request.target == "/update") {
            set = {{"Set-Cookie", "b=3; HttpOnly"}, {"Set-Cookie", "c=4"}};
        } else if (request.target == "/logout") {
            set = {{"Set-Cookie", "a=deleted; expires=Thu, 01-Jan-1970 00:00:01 GMT"}};
        }
        reply.Send(200, "OK", set, "ok");
    });
    Text jar;
    Text cookiesOut;

    InetRequest(site.Url("/login"), 0, {}, &jar, &cookiesOut);
    EXPECT_EQ(jar, "a=1; b=2");
    EXPECT_EQ(cookiesOut, "a=1; b=2");

    InetRequest(site.Url("/update"), 0, {}, &jar, &cookiesOut);
    EXPECT_EQ(jar, "b=3; c=4; a=1");
    EXPECT_EQ(cookiesOut, "b=3; c=4; a=1");

    InetRequest(site.Url("/logout"), 0, {}, &jar, &cookiesOut);
    EXPECT_EQ(jar, "b=3; c=4");
    EXPECT_EQ(cookiesOut, "b=3; c=4");

    InetRequest(site.Url("/after"), 0, {}, &jar, &cookiesOut);
    ASSERT_TRUE(site.WaitForRequests(4, kWait));
    const std::vector<RecordedRequest> requests = site.Requests();
    EXPECT_FALSE(requests[0].HasHeader("Cookie"));
    EXPECT_EQ(requests[1].Header("Cookie"), "a=1; b=2");
    EXPECT_EQ(requests[2].Header("Cookie"), "b=3; c=4; a=1");
    EXPECT_EQ(requests[3].Header("Cookie"), "b=3; c=4");
    for (const RecordedRequest& request : requests) {
        EXPECT_EQ(request.HeaderCount("Cookie"), request.HasHeader("Cookie") ? 1u : 0u);
    }
}

TEST(InetRequestTest, MergingCanBeSwitchedOff) {
    LoopbackServer site = AnsweringSite("ok", {{"Set-Cookie", "n=5"}});
    Text cookies = "a=1";
    Text cookiesOut;
    InetRequest(site.Url("/"), 0, {}, &cookies, &cookiesOut, nullptr, nullptr, false, nullptr, {}, false);
    EXPECT_EQ(cookies, "a=1");
    EXPECT_EQ(cookiesOut, "n=5");
}

// Without a list of the caller's, cookies live in one store shared by all such calls, as a browser's do.
TEST(InetRequestTest, WithoutACookieListTheSharedStoreHandlesCookies) {
    LoopbackServer site([](const RecordedRequest& request, Responder& reply) {
        if (request.target == "/shared-jar/set") {
            reply.Send(200, "OK",
                       {{"Set-Cookie", "jar=42; Path=/shared-jar"}, {"Set-Cookie", "gone=deleted; Path=/x"}},
                       "set");
        } else {
            reply.Send(200, "OK", {}, "read");
        }
    });
    Text cookiesOut;
    InetRequest(site.Url("/shared-jar/set"), 0, {}, nullptr, &cookiesOut);
    EXPECT_EQ(cookiesOut, "jar=42; gone=deleted");

    InetRequest(site.Url("/shared-jar/read"));
    Text ownList;
    InetRequest(site.Url("/shared-jar/own"), 0, {}, &ownList);

    ASSERT_TRUE(site.WaitForRequests(3, kWait));
    const std::vector<RecordedRequest> requests = site.Requests();
    EXPECT_EQ(requests[1].Header("Cookie"), "jar=42");
    EXPECT_FALSE(requests[2].HasHeader("Cookie"));
    EXPECT_EQ(ownList, "");
}

TEST(InetRequestTest, FollowsRedirectionsUnlessToldNotTo) {
    LoopbackServer site([](const RecordedRequest& request, Responder& reply) {
        if (request.target == "/old") {
            reply.Send(302, "Found", {{"Location", "/new"}, {"Set-Cookie", "r=1"}}, "moved");
        } else {
            reply.Send(200, "OK", {{"Set-Cookie", "f=2"}}, "final page");
        }
    });
    Text responseHeaders;
    Text cookiesOut;
    Text cookies;
    EXPECT_EQ(InetRequest(site.Url("/old"), 1, "k=v", &cookies, &cookiesOut, nullptr, &responseHeaders),
              "final page");
    EXPECT_EQ(responseHeaders.substr(0, 17), "HTTP/1.1 200 OK\r\n");
    EXPECT_EQ(cookiesOut, "f=2");
    ASSERT_TRUE(site.WaitForRequests(2, kWait));
    EXPECT_EQ(site.Requests()[1].method, "GET");
    EXPECT_EQ(site.Requests()[1].target, "/new");

    EXPECT_EQ(InetRequest(site.Url("/old"), 0, {}, nullptr, &cookiesOut, nullptr, &responseHeaders, true),
              "moved");
    EXPECT_EQ(responseHeaders.substr(0, 20), "HTTP/1.1 302 Found\r\n");
    EXPECT_EQ(cookiesOut, "r=1");
    EXPECT_EQ(site.Requests().size(), 3u);
}

TEST(InetRequestTest, HandsBackTheRawResponseHeaderBlock) {
    LoopbackServer site([](const RecordedRequest&, Responder& reply) {
        reply.SendRaw(
            "HTTP/1.1 404 Not Found\r\nSet-Cookie: a=1; path=/\r\nX-One:  spaced \r\nContent-Length: "
            "4\r\n\r\nnope");
    });
    Text responseHeaders;
    EXPECT_EQ(InetRequest(site.Url("/"), 0, {}, nullptr, nullptr, nullptr, &responseHeaders), "nope");
    EXPECT_EQ(
        responseHeaders,
        "HTTP/1.1 404 Not Found\r\nSet-Cookie: a=1; path=/\r\nX-One:  spaced \r\nContent-Length: 4\r\n\r\n");
}

TEST(InetRequestTest, BodyBytesArePreferredAndReceiveTheTextBody) {
    LoopbackServer site = AnsweringSite();
    Bytes bodyBytes = std::string("b\0y", 3);
    InetRequest(site.Url("/"), 1, "text body", nullptr, nullptr, nullptr, nullptr, false, &bodyBytes);
    EXPECT_EQ(bodyBytes, std::string("b\0y", 3));

    Bytes empty;
    InetRequest(site.Url("/"), 3, "text body", nullptr, nullptr, nullptr, nullptr, false, &empty);
    EXPECT_EQ(empty, "text body");

    Bytes untouched;
    InetRequest(site.Url("/"), 0, "text body", nullptr, nullptr, nullptr, nullptr, false, &untouched);
    EXPECT_EQ(untouched, "");

    ASSERT_TRUE(site.WaitForRequests(3, kWait));
    const std::vector<RecordedRequest> requests = site.Requests();
    EXPECT_EQ(requests[0].body, std::string("b\0y", 3));
    EXPECT_EQ(requests[1].body, "text body");
    EXPECT_EQ(requests[2].body, "");
}

TEST(InetRequestTest, GoesThroughAProxyInAbsoluteForm) {
    LoopbackServer proxy = AnsweringSite("from proxy");
    EXPECT_EQ(InetRequest("http://site.test:8080/a?b=c", 1, "q=1", nullptr, nullptr, nullptr, nullptr, false,
                          nullptr, proxy.HostPort()),
              "from proxy");
    EXPECT_EQ(OnlyRequest(proxy).raw,
              "POST http://site.test:8080/a?b=c HTTP/1.1\r\n"
              "Host: site.test:8080\r\n" +
                  std::string(kAgentLine) +
                  "Accept: */*\r\n"
                  "Referer: http://site.test:8080/a?b=c\r\n"
                  "Accept-Language: zh-cn\r\n"
                  "Content-Type: application/x-www-form-urlencoded\r\n"
                  "Content-Length: 3\r\n"
                  "\r\n"
                  "q=1");
}

TEST(InetRequestTest, AnUnreachableSiteChangesNothing) {
    test::RefusingPort refusing;
    Text cookies = "a=1 ; b=deleted";
    Text cookiesOut = "before";
    Text headers = "X-Mine: 1";
    Text responseHeaders = "old block";
    Bytes bodyBytes;
    const Bytes body = InetRequest("http://127.0.0.1:" + std::to_string(refusing.port()) + "/", 1, "x=1",
                                   &cookies, &cookiesOut, &headers, &responseHeaders, false, &bodyBytes);
    EXPECT_EQ(body, "");
    EXPECT_EQ(cookies, "a=1 ; b=deleted");
    EXPECT_EQ(cookiesOut, "before");
    EXPECT_EQ(headers, "X-Mine: 1");
    EXPECT_EQ(responseHeaders, "old block");
    EXPECT_EQ(bodyBytes, "");
}

TEST(InetRequestTest, RefusesAnUntrustedCertificate) {
    const test::TestCertificate selfSigned = test::MakeCertificate({});
    test::LoopbackServerOptions options;
    options.certificate = &selfSigned;
    LoopbackServer site([](const RecordedRequest&, Responder& reply) { reply.Send(200, "OK", {}, "secret"); },
                        options);
    EXPECT_EQ(InetRequest(site.Url("/")), "");
}

TEST(InetRequestTest, TheLimitsEndStallingAndEndlessAnswers) {
    constexpr std::size_t kCap = 32 * 1024;
    test::ScopedNetLimits quick(test::QuickNetLimits(kCap));
    LoopbackServer silent([](const RecordedRequest&, Responder& reply) { reply.Stall(); });
    LoopbackServer halfway([](const RecordedRequest&, Responder& reply) {
        reply.SendRaw("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\nthe first part");
        reply.Stall();
    });
    LoopbackServer endless([](const RecordedRequest&, Responder& reply) {
        if (reply.SendRaw("HTTP/1.1 200 OK\r\nSet-Cookie: e=1\r\n\r\n")) {
            reply.Stream("abcdefgh");
        }
    });

    Text headers = "X-Kept: 1";
    EXPECT_EQ(InetRequest(silent.Url("/"), 0, {}, nullptr, nullptr, &headers), "");
    EXPECT_EQ(headers, "X-Kept: 1");

    // What was read before the site fell silent is the result, as with any failed read.
    Text cookiesOut;
    EXPECT_EQ(InetRequest(halfway.Url("/")), "the first part");

    const Bytes body = InetRequest(endless.Url("/"), 0, {}, nullptr, &cookiesOut);
    ASSERT_EQ(body.size(), kCap);
    EXPECT_EQ(body.substr(kCap - 8), "abcdefgh");
    EXPECT_EQ(cookiesOut, "e=1");
}

TEST(InetRequestTest, ManyThreadsRequestAtOnce) {
    LoopbackServer site([](const RecordedRequest& request, Responder& reply) {
        reply.Send(200, "OK", {{"Set-Cookie", "t" + request.body + "=1; Path=/threads"}},
                   "got " + request.body);
    });
    constexpr int kThreads = 8;
    std::vector<Bytes> bodies(kThreads);
    std::vector<Text> jars(kThreads);
    std::vector<std::thread> workers;
    for (int i = 0; i < kThreads; ++i) {
        workers.emplace_back([&, i] {
            const std::string n = std::to_string(i);
            // Even threads keep their own list, odd ones use the shared store.
            bodies[i] = InetRequest(site.Url("/threads/" + n), 1, n, i % 2 == 0 ? &jars[i] : nullptr);
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    for (int i = 0; i < kThreads; ++i) {
        EXPECT_EQ(bodies[i], "got " + std::to_string(i));
        EXPECT_EQ(jars[i], i % 2 == 0 ? "t" + std::to_string(i) + "=1" : "");
    }
}

}  // namespace
}  // namespace fw
