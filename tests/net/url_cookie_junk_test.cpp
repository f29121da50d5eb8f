// URL and cookie work reads what servers send. Every routine runs here over binary junk held in buffers
// of the exact size (so the address sanitizer sees any read past the end) and must give bounded results.

#include <gtest/gtest.h>

#include <random>
#include <string_view>
#include <vector>

#include "net/cookie_lists.h"
#include "net/url_parts.h"

namespace fw {
namespace {

bool IsPieceOf(std::string_view piece, std::string_view text) {
    return piece.empty() || text.find(piece) != std::string_view::npos;
}

TEST(UrlCookieJunkTest, BinaryJunkGivesBoundedResults) {
    std::mt19937 random(3);
    std::uniform_int_distribution<int> byte(1, 255);
    std::uniform_int_distribution<std::size_t> length(0, 200);
    // Junk alone, and junk behind the prefixes that make the routines take their longer paths.
    const std::vector<Text> prefixes = {"", "http://", "https://", "Set-Cookie: ", "a=1; "};
    std::uniform_int_distribution<std::size_t> pickPrefix(0, prefixes.size() - 1);
    for (int round = 0; round < 20'000; ++round) {
        Text bytes = prefixes[pickPrefix(random)];
        for (std::size_t i = length(random); i > 0; --i) {
            bytes.push_back(static_cast<char>(byte(random)));
        }
        const std::vector<char> buffer(bytes.begin(), bytes.end());
        const std::string_view text(buffer.data(), buffer.size());

        EXPECT_TRUE(IsPieceOf(HeaderName(text), text));
        EXPECT_TRUE(IsPieceOf(HeaderValue(text), text));
        EXPECT_TRUE(IsPieceOf(CookieName(text), text));
        EXPECT_LE(CollectSetCookies(text).size(), text.size());
        EXPECT_LE(JoinUnique(text, "; ").size(), text.size());
        EXPECT_LE(JoinUnique(text, "").size(), text.size());

        Text oldList = bytes;
        Text newList(bytes.rbegin(), bytes.rend());
        const Text merged = MergeCookies(oldList, newList);
        EXPECT_EQ(oldList, merged);
        EXPECT_LE(merged.size(), 2 * (bytes.size() + 1) * 2);

        const Text host = UrlHost(text, true);
        EXPECT_LE(host.size(), text.size());
        const Text path = UrlPath(text);
        ASSERT_FALSE(path.empty());
        EXPECT_TRUE(path == "/" || text.ends_with(path));
        EXPECT_GE(UrlPort(text), 0);
    }
}

}  // namespace
}  // namespace fw
