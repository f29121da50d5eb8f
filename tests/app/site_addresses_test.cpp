#include "app/site_addresses.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/temp_dir.h"
#include "util/code_page.h"

namespace fw {
namespace {

TEST(SiteAddresses, KeysOfTheSectionReplaceBuiltInAddressesOneByOne) {
    test::TempDir dir;
    const auto file = dir.path() / "Configuration.ini";
    std::ofstream(file, std::ios::binary) << Utf8ToGbk(
        "[软件设置]\r\nBtrabbit=http://not-this-section\r\n"
        "[站点地址]\r\nbtrabbit=http://127.0.0.1:8001\r\nZZS=\r\nBtbook=http://127.0.0.1:8004/\r\n"
        "乐享电影网=http://127.0.0.1:8006\r\n院线热映=http://127.0.0.1:8007\r\n"
        "更新检查=http://127.0.0.1:8008/check/\r\n");
    const SiteAddresses builtIn = BuiltInSiteAddresses();
    const SiteAddresses loaded = LoadSiteAddresses(file);
    EXPECT_EQ(loaded.btrabbit, "http://127.0.0.1:8001");
    EXPECT_EQ(loaded.zzs, builtIn.zzs);  // an empty key keeps the built-in address
    EXPECT_EQ(loaded.dss, builtIn.dss);
    EXPECT_EQ(loaded.btbook, "http://127.0.0.1:8004");  // the scheme of the value wins; no doubled slash
    EXPECT_EQ(loaded.play7dds, builtIn.play7dds);
    EXPECT_EQ(loaded.lexiang, "http://127.0.0.1:8006");
    EXPECT_EQ(loaded.board, "http://127.0.0.1:8007");
    EXPECT_EQ(loaded.updateCheck, "http://127.0.0.1:8008/check/");  // whole URLs stay as written
}

TEST(SiteAddresses, MissingFileGivesTheBuiltInAddresses) {
    const SiteAddresses loaded = LoadSiteAddresses("/nonexistent/Configuration.ini");
    const SiteAddresses builtIn = BuiltInSiteAddresses();
    EXPECT_EQ(loaded.btrabbit, builtIn.btrabbit);
    EXPECT_EQ(loaded.board, builtIn.board);
    EXPECT_EQ(builtIn.btbook.rfind("https://", 0), 0u);
    EXPECT_EQ(builtIn.board.rfind("https://", 0), 0u);
    EXPECT_EQ(builtIn.play7dds.rfind("http://", 0), 0u);
}

}  // namespace
}  // namespace fw
