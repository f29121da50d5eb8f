#include "net/read_url.h"

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

using test::LoopbackServer;
using test::RecordedRequest;
using test::Responder;

constexpr std::chrono::seconds kWait(10);

LoopbackServer EchoTargetSite() {
    return LoopbackServer([](const RecordedRequest& request, Responder& reply) {
        reply.Send(200, "OK", {{"Content-Type", "text/plain"}}, "page " + request.target);
    });
}

TEST(ReadUrlTest, SendsOneHttp10GetWithAcceptAndTheOldBrowserAgent) {
    LoopbackServer site = EchoTargetSite();

    const Bytes body = ReadUrl(site.Url("/list/Search?q=%E4%B8%AD&page=2"));

    EXPECT_EQ(body, "page /list/Search?q=%E4%B8%AD&page=2");
    ASSERT_TRUE(site.WaitForRequests(1, kWait));
    const std::vector<RecordedRequest> requests = site.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].raw,
              "GET /list/Search?q=%E4%B8%AD&page=2 HTTP/1.0\r\n"
              "Host: " +
                  site.HostPort() +
                  "\r\n"
                  "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"
                  "Accept: */*\r\n"
                  "\r\n");
}

TEST(ReadUrlTest, AddressesAreSentAsWrittenExceptBytesAUrlCannotHold) {
    struct Case {
        std::string suffix;  // appended to "127.0.0.1:PORT"
        bool withScheme;
        std::string target;
    };
    const std::vector<Case> cases = {
        {"/a/../b/./c", true, "/a/../b/./c"},
        {"/x y", true, "/x%20y"},
        {"/\xD6\xD0\xCE\xC4?k=\xB5\xE7", true, "/%D6%D0%CE%C4?k=%B5%E7"},
        {"/no-scheme", false, "/no-scheme"},
        {"", true, "/"},
    };
    LoopbackServer site = EchoTargetSite();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.suffix);
        const std::string address = (c.withScheme ? "http://" : "") + site.HostPort() + c.suffix;
        EXPECT_EQ(ReadUrl(address), "page " + c.target);
    }
}

TEST(ReadUrlTest, ReturnsTheBodyWhateverTheStatus) {
    struct Case {
        int status;
        const char* reason;
    };
    for (const Case c :
         {Case{404, "Not Found"}, Case{500, "Internal Server Error"}, Case{403, "Forbidden"}}) {
        LoopbackServer site([&](const RecordedRequest&, Responder& reply) {
            reply.Send(c.status, c.reason, {}, "error page " + std::to_string(c.status));
        });
        EXPECT_EQ(ReadUrl(site.Url("/")), "error page " + std::to_string(c.status));
    }
}

TEST(ReadUrlTest, ABodyWithoutLengthEndsWithTheConnection) {
    LoopbackServer site([](const RecordedRequest&, Responder& reply) {
        reply.SendRaw("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html>whole page</html>");
    });
    EXPECT_EQ(ReadUrl(site.Url("/")), "<html>whole page</html>");
}

TEST(ReadUrlTest, FollowsAMovedPageWithAnotherGetOfTheSameForm) {
    LoopbackServer site([](const RecordedRequest& request, Responder& reply) {
        if (request.target == "/old") {
            reply.Send(302, "Found", {{"Location", "/new"}}, "moved");
        } else if (request.target == "/loop") {
            reply.Send(301, "Moved Permanently", {{"Location", "/loop"}}, "again");
        } else {
            reply.Send(200, "OK", {}, "new page");
        }
    });
    EXPECT_EQ(ReadUrl(site.Url("/old")), "new page");
    const auto requests = site.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].raw.substr(0, requests[1].raw.find("\r\n")), "GET /new HTTP/1.0");
    EXPECT_EQ(requests[1].Header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
    // A page that moves in a circle ends after a bounded number of hops, as a failure.
    EXPECT_EQ(ReadUrl(site.Url("/loop")), "");
    EXPECT_LE(site.Requests().size(), 2u + 11u);
}

TEST(ReadUrlTest, UnreachableAddressGivesEmptyBytes) {
    test::RefusingPort refusing;
    EXPECT_EQ(ReadUrl("http://127.0.0.1:" + std::to_string(refusing.port()) + "/"), "");
    EXPECT_EQ(ReadUrl(""), "");
    EXPECT_EQ(ReadUrl("ftp://127.0.0.1/file"), "");
}

TEST(ReadUrlTest, RefusesAServerWhoseCertificateIsNotTrusted) {
    const test::TestCertificate expired = test::MakeCertificate(test::ExpiredCertificateOptions("127.0.0.1"));
    test::LoopbackServerOptions options;
    options.certificate = &expired;
    LoopbackServer site([](const RecordedRequest&, Responder& reply) { reply.Send(200, "OK", {}, "secret"); },
                        options);
    ASSERT_EQ(site.BaseUrl().substr(0, 8), "https://");

    EXPECT_EQ(ReadUrl(site.Url("/")), "");
}

TEST(ReadUrlTest, AStallingSiteIsAbandonedWithEmptyBytes) {
    test::ScopedNetLimits quick(test::QuickNetLimits());
    LoopbackServer silent([](const RecordedRequest&, Responder& reply) { reply.Stall(); });
    LoopbackServer halfway([](const RecordedRequest&, Responder& reply) {
        reply.SendRaw("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\nthe first part");
        reply.Stall();
    });

    EXPECT_EQ(ReadUrl(silent.Url("/")), "");
    EXPECT_EQ(ReadUrl(halfway.Url("/")), "");
}

TEST(ReadUrlTest, AnEndlessBodyIsCutAtTheCap) {
    constexpr std::size_t kCap = 64 * 1024;
    test::ScopedNetLimits quick(test::QuickNetLimits(kCap));
    LoopbackServer endless([](const RecordedRequest&, Responder& reply) {
        if (reply.SendRaw("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n")) {
            reply.Stream("0123456789abcdef");
        }
    });

    const Bytes body = ReadUrl(endless.Url("/"));

    ASSERT_EQ(body.size(), kCap);
    EXPECT_EQ(body.substr(0, 20), "0123456789abcdef0123");
    EXPECT_EQ(body.substr(kCap - 16), "0123456789abcdef");
}

TEST(ReadUrlTest, ManyThreadsReadAtOnce) {
    LoopbackServer site = EchoTargetSite();
    constexpr int kThreads = 8;
    std::vector<Bytes> bodies(kThreads);
    std::vector<std::thread> workers;
    for (int i = 0; i < kThreads; ++i) {
        workers.emplace_back([&, i] { bodies[i] = ReadUrl(site.Url("/page/" + std::to_string(i))); });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    for (int i = 0; i < kThreads; ++i) {
        EXPECT_EQ(bodies[i], "page /page/" + std::to_string(i));
    }
    EXPECT_EQ(site.Requests().size(), static_cast<std::size_t>(kThreads));
}

}  // namespace
}  // namespace fw
