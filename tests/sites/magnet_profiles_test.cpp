#include <gtest/gtest.h>

#include <ostream>

#include "sites/magnet/magnet_site_profile.h"
#include "sites/magnet/search_magnet_page.h"
#include "util/code_page.h"

namespace fw {
namespace {

TEST(MagnetPageAddress, PercentEncodesEveryKeywordByteAndPlacesThePageNumber) {
    const std::pair<MagnetSite, const char*> cases[] = {
        {MagnetSite::Btrabbit, "http://bt.example/search/%61%62%63/default-3.html"},
        {MagnetSite::Zzs, "http://bt.example/list/%61%62%63/rel/3"},
        {MagnetSite::Dss, "http://bt.example/list/%61%62%63/3"},
        {MagnetSite::Btbook, "http://bt.example/sou/%61%62%63/time-3.html"},
    };
    for (const auto& [site, expected] : cases) {
        EXPECT_EQ(MagnetPageAddress(ProfileOf(site), "http://bt.example", "abc", 3), expected);
    }
    // A Chinese keyword goes as its UTF-8 bytes; a trailing blank is kept.
    EXPECT_EQ(MagnetPageAddress(ProfileOf(MagnetSite::Dss), "http://h", Utf8ToGbk("中 "), 12),
              "http://h/list/%E4%B8%AD%20/12");
}

TEST(MagnetProfiles, BuiltInAddressesUseEachSitesScheme) {
    const SiteAddresses addresses = BuiltInSiteAddresses();
    EXPECT_EQ((addresses.*ProfileOf(MagnetSite::Btbook).baseAddress).rfind("https://", 0), 0u);
    for (const MagnetSite site : {MagnetSite::Btrabbit, MagnetSite::Zzs, MagnetSite::Dss}) {
        EXPECT_EQ((addresses.*ProfileOf(site).baseAddress).rfind("http://", 0), 0u);
    }
}

struct PageCase {
    MagnetSite site;
    const char* pageUtf8;
    MagnetResult expectedUtf8;
};

void PrintTo(const PageCase& c, std::ostream* out) {
    *out << c.expectedUtf8.site;
}

class MagnetPageCleaning : public ::testing::TestWithParam<PageCase> {};

TEST_P(MagnetPageCleaning, CutsAndCleansEachField) {
    const PageCase& c = GetParam();
    const auto results = ParseMagnetPage(ProfileOf(c.site), Utf8ToGbk(c.pageUtf8));
    ASSERT_EQ(results.size(), 1u);
    const MagnetResult& r = results[0];
    EXPECT_EQ(GbkToUtf8(r.name), c.expectedUtf8.name);
    EXPECT_EQ(GbkToUtf8(r.link), c.expectedUtf8.link);
    EXPECT_EQ(GbkToUtf8(r.site), c.expectedUtf8.site);
    EXPECT_EQ(GbkToUtf8(r.size), c.expectedUtf8.size);
    EXPECT_EQ(GbkToUtf8(r.popularity), c.expectedUtf8.popularity);
    EXPECT_EQ(GbkToUtf8(r.date), c.expectedUtf8.date);
}

INSTANTIATE_TEST_SUITE_P(
    Sites, MagnetPageCleaning,
    ::testing::Values(
        PageCase{MagnetSite::Btrabbit,
                 "<h3><a title=\"Big Movie 2019\"  href=\"/x.html\">Big</a></h3>"
                 "<span>文件大小：<b class=\"y\">1.5가GB</b></span><span>下载热度：<b>321</b></span>"
                 "<span>创建时间：<b>2019-03-01</b></span>"
                 "<span>--<a href=\"magnet:?xt=urn:btih:AAA&amp;dn=Big\" class=\"d\">磁力</a></span>",
                 {"Big Movie 2019", "magnet:?xt=urn:btih:AAA", "Btrabbit", "1.5 GB", "321", "2019-03-01"}},
        PageCase{
            MagnetSite::Zzs,
            "<a href=\"/info-BBB\" target=\"_blank\"><h4 class=\"t\"><b>流浪</b> 地球 <B>2</B> 4K</h4></a>"
            "<td>大小：<strong>2.0 GB</strong></td><td>热度：<strong>55</strong></td>"
            "<td>创建日期：<strong>2020-01-02</strong></td>"
            "<a href=\"magnet:?xt=urn:btih:BBB&dn=x\"><span>磁力</span></a>",
            {"流浪地球24K", "magnet:?xt=urn:btih:BBB&dn=x", "ZZS", "2.0 GB", "55", "2020-01-02"}},
        PageCase{MagnetSite::Dss,
                 "<div class=\"T1\"><a href=\"/torrent/CCC\" target=\"_blank\"><span class=\"h\">Alien</span>"
                 ".1979.mkv</a></div><p>大小:<span> 700가MB</span> 创建日期:<span> 2018-08-08 </span>"
                 " 访问热度:<span> 9 </span> <a href=\"magnet:?xt=urn:btih:CCC&dn=A\">[磁力链接]</a></p>",
                 {"Alien.1979.mkv", "magnet:?xt=urn:btih:CCC&dn=A", "DSS", "700 MB", "9", "2018-08-08"}},
        PageCase{MagnetSite::Btbook,
                 "<h3><a title=\"Heat 1995\" href=\"/h/DDD.html\">Heat</a></h3>"
                 "<span>文件大小：<b class=\"cpill\">3.3가GB</b></span><span>下载热度：<b "
                 "class=\"c\">77</b></span>"
                 "<span>创建时间：<b class=\"cpill blue-pill\"><b>2017-07-07</b></b></span>"
                 "<a href=\"magnet:?xt=urn:btih:DDD&amp;dn=Heat\" class=\"download\">磁力</a>",
                 {"Heat 1995", "magnet:?xt=urn:btih:DDD", "Btbook", "3.3 GB", "77", "2017-07-07"}}));

TEST(MagnetPageCleaning, MissingInnerMarkersGiveEmptyOrBareFields) {
    // Btrabbit: a link without "&amp;dn=" becomes empty; a size without "</b>" too.
    auto results = ParseMagnetPage(ProfileOf(MagnetSite::Btrabbit),
                                   "<a title=\"N\"  href=x><span>" + Utf8ToGbk("文件大小：") +
                                       "<b>1 GB</span>--<a href=\"magnet:?xt=urn:btih:E\" class=\"x\">");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].link, "");
    EXPECT_EQ(results[0].size, "");
    // Btbook: "magnet" alone; a popularity item without "\">" is empty.
    results = ParseMagnetPage(ProfileOf(MagnetSite::Btbook),
                              "<h3><a title=\"N\" href=x href=\"magnet:?xt=F\" class=y " +
                                  Utf8ToGbk("下载热度：") + "<b>12</b></span>");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].link, "magnet");
    EXPECT_EQ(results[0].popularity, "");
    // ZZS and DSS names without "\">" are empty.
    results = ParseMagnetPage(ProfileOf(MagnetSite::Zzs), "/info-x <h4>name</h4></a>");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].name, "");
}

TEST(MagnetPageCleaning, ShorterFieldListsLeaveTheirFieldsEmptyWithoutReadingPastThem) {
    const std::string page = Utf8ToGbk(
        "<a title=\"one\"  href=a><a title=\"two\"  href=b><a title=\"three\"  href=c>"
        "<span>下载热度：<b>1</b></span><span>下载热度：<b>2</b></span>"
        "--<a href=\"magnet:?xt=1&amp;dn=a\" class=");
    const auto results = ParseMagnetPage(ProfileOf(MagnetSite::Btrabbit), page);
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].link, "magnet:?xt=1");
    EXPECT_EQ(results[1].popularity, "2");
    EXPECT_EQ(results[2].name, "three");
    EXPECT_EQ(results[2].popularity, "");
    EXPECT_EQ(results[2].link, "");
}

TEST(MagnetPageCleaning, APageWithoutNamesHasNoResults) {
    EXPECT_TRUE(ParseMagnetPage(ProfileOf(MagnetSite::Dss), "").empty());
    EXPECT_TRUE(ParseMagnetPage(ProfileOf(MagnetSite::Dss), "<html>nothing here</html>").empty());
    EXPECT_TRUE(ParseMagnetPage(ProfileOf(MagnetSite::Btbook), std::string("\xFF\xFE\x80", 3)).empty());
}

}  // namespace
}  // namespace fw
