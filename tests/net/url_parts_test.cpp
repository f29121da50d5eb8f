#include "net/url_parts.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "util/text_primitives.h"

namespace fw {
namespace {

struct UrlCase {
    Text url;
    Text host;
    Text hostWithPort;
    int port;
    Text path;
};

TEST(UrlPartsTest, SplitsUrls) {
    const std::vector<UrlCase> cases = {
        {"HTTP://Host:81/A", "host", "host:81", 81, "/A"},
        {"host/x", "host", "host", 80, "/x"},
        {"https://host", "host", "host", 443, "/"},
        {"http://host/Index.php?m=vod-search", "host", "host", 80, "/Index.php?m=vod-search"},
        {"HTTPS://WWW.Example.COM/Search?Q=Abc#Top", "www.example.com", "www.example.com", 443,
         "/Search?Q=Abc#Top"},
        {"https://host:8443/a/b", "host", "host:8443", 8443, "/a/b"},
        {"http://host:/x", "host", "host:", 0, "/x"},
        {"http://host:abc/x", "host", "host:abc", 0, "/x"},
        {"http://host:99999999999/x", "host", "host:99999999999", 0, "/x"},
        {"http://host?q=1", "host?q=1", "host?q=1", 80, "/"},
        {"host", "host", "host", 80, "/"},
        {"", "", "", 80, "/"},
        {"http://", "", "", 80, "/"},
        // A host that also occurs inside the scheme is looked for behind it.
        {"http://h/x", "h", "h", 80, "/x"},
        {"https://tp:8080/Path", "tp", "tp:8080", 8080, "/Path"},
        {"http://http/x", "http", "http", 80, "/x"},
        // Two-byte characters keep their bytes, even a second byte that looks like a capital letter.
        {"http://Ab\x81"
         "A/X",
         "ab\x81"
         "A",
         "ab\x81"
         "A",
         80, "/X"},
    };
    for (const UrlCase& c : cases) {
        EXPECT_EQ(UrlHost(c.url), c.host) << c.url;
        EXPECT_EQ(UrlHost(c.url, true), c.hostWithPort) << c.url;
        EXPECT_EQ(UrlPort(c.url), c.port) << c.url;
        EXPECT_EQ(UrlPath(c.url), c.path) << c.url;
    }
}

TEST(UrlPartsTest, JunkUrlsGiveBoundedResults) {
    std::mt19937 random(7);
    const std::string alphabet = "hHtTpPsS:/.?#@a1\x81\xB0\xFF ";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<std::size_t> length(0, 30);
    for (int round = 0; round < 20'000; ++round) {
        std::string url;
        for (std::size_t i = length(random); i > 0; --i) {
            url.push_back(alphabet[pick(random)]);
        }
        const Text host = UrlHost(url);
        const Text path = UrlPath(url);
        // Searched character by character: a "/" or ":" byte may be the second byte of a character.
        EXPECT_EQ(FindText(host, "/"), -1) << url;
        EXPECT_EQ(FindText(host, ":"), -1) << url;
        EXPECT_EQ(FindText(UrlHost(url, true), "/"), -1) << url;
        ASSERT_FALSE(path.empty()) << url;
        EXPECT_EQ(path.front(), '/') << url;
        EXPECT_TRUE(path == "/" || url.ends_with(path)) << url;
        EXPECT_GE(UrlPort(url), 0) << url;
    }
}

}  // namespace
}  // namespace fw
