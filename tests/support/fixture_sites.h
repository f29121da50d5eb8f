#pragma once

// Stand-ins for every site the program reads, served on 127.0.0.1: the four magnet-search sites, the two
// video sites and the cinema board, each on its own port, in the sites' page layouts (UTF-8, realistic
// HTML around the markers the program cuts at). Any keyword and page number gets a page; switches make the
// cases the tests need: pages empty from some page on, the same torrents on several sites, names with the
// keyword in capitals, sizes holding a character GBK lacks, and hostile answers.
//
// The end-to-end tests start one in-process; the program ferrowind-fixture-sites starts one for the demo.

#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/loopback_server.h"

namespace fw::test {

enum class FixtureSite { Btrabbit, Zzs, Dss, Btbook, Play7dds, Lexiang, Board };
inline constexpr int kFixtureSiteCount = 7;

enum class HostileMode {
    None,
    EmptyBody,       // 200 with no body
    Binary,          // 64 KiB of NUL-free junk bytes
    Truncated,       // a page cut in the middle of a result, shorter than its Content-Length
    Huge,            // 50 MB of results
    Endless,         // results that never end
    ManyResults,     // 100,000 results on one page (magnet sites) or hits (video sites)
    InvalidUtf8,     // results whose names hold bytes that are not UTF-8
    Stall,           // the connection is accepted and nothing is ever sent
    EndlessDetail,   // video sites: detail pages that never end
    PosterNotImage,  // board: posters that are HTML, not images
    PosterHuge,      // board: 100 MB posters
    ShortCastList,   // board: fewer cast texts than entries
};

struct FixtureOptions {
    int resultsPerPage = 20;
    // Per site: the first page number that has no results (0: every page has results).
    std::array<int, kFixtureSiteCount> emptyFrom{};
    // All magnet sites list the same torrents for a keyword and page.
    bool duplicates = false;
    // Every second name writes the keyword in capitals.
    bool capitals = false;
    // Sizes hold a character that GBK lacks between number and unit.
    bool missingGbkSize = false;
    std::map<FixtureSite, HostileMode> hostile;
    int boardEntries = 10;
    int playHits = 3;         // hits on a video site's search page
    int playLinksPerHit = 4;  // play links on a detail page
};

class FixtureSites {
  public:
    explicit FixtureSites(FixtureOptions options = {});
    ~FixtureSites();

    // "http://127.0.0.1:PORT" of the site.
    std::string Address(FixtureSite site) const;
    std::vector<RecordedRequest> Requests(FixtureSite site) const;

    // The settings section that points the program at these sites, in UTF-8:
    // "[站点地址]\r\nBtrabbit=http://127.0.0.1:…\r\n…".
    std::string SiteAddressesSection() const;
    // Writes a GBK settings file holding `settingsUtf8` (other sections, may be empty) and the section above.
    void WriteSettingsFile(const std::filesystem::path& iniPath, std::string_view settingsUtf8 = {}) const;

    void Stop();

    static const char* NameOf(
        FixtureSite site);  // "btrabbit", "zzs", "dss", "btbook", "7dds", "lexiang", "board"
    static std::optional<FixtureSite> SiteNamed(std::string_view name);
    static std::optional<HostileMode> HostileNamed(std::string_view name);

    // The result page of a magnet site (UTF-8), as served without hostile modes.
    static std::string MagnetPage(FixtureSite site, const FixtureOptions& options,
                                  std::string_view keywordUtf8, int page);
    // The magnet link as the page writes it for result `index` of `page`.
    static std::string MagnetLinkOnPage(FixtureSite site, const FixtureOptions& options,
                                        std::string_view keywordUtf8, int page, int index);
    // The board page; poster addresses point at `posterBase` + "/poster/N.png".
    static std::string BoardPage(const FixtureOptions& options, std::string_view posterBase);
    // The names of the board's entries, in order, and their cast texts.
    static std::string BoardMovieName(int entry);
    static std::string BoardCastText(int entry);
    static std::string PosterPng(int entry);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace fw::test
