#include "support/fixture_sites.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <stdexcept>

#include "support/png_image.h"
#include "util/code_page.h"

namespace fw::test {
namespace {

constexpr std::size_t kHugeBytes = 50u * 1000u * 1000u;
constexpr std::size_t kPosterHugeBytes = 100u * 1000u * 1000u;
constexpr int kManyResults = 100'000;

std::uint64_t Fnv1a(std::string_view text, std::uint64_t hash = 1469598103934665603ull) {
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

// A 40-digit info hash that depends only on `seed`.
std::string InfoHash(const std::string& seed) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string hash;
    std::uint64_t value = Fnv1a(seed);
    while (hash.size() < 40) {
        value = Fnv1a(seed, value);
        for (int shift = 60; shift >= 0 && hash.size() < 40; shift -= 4) {
            hash.push_back(kHex[(value >> shift) & 0xF]);
        }
    }
    return hash;
}

std::string PercentDecode(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out.push_back(static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16)));
            i += 2;
        } else {
            out.push_back(text[i] == '+' ? ' ' : text[i]);
        }
    }
    return out;
}

std::string HtmlEscape(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string AsciiUpper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::vector<std::string> SplitPath(std::string_view target) {
    if (const auto query = target.find('?'); query != std::string_view::npos) {
        target = target.substr(0, query);
    }
    std::vector<std::string> parts;
    std::size_t begin = 0;
    while (begin < target.size()) {
        std::size_t slash = target.find('/', begin);
        if (slash == std::string_view::npos) {
            slash = target.size();
        }
        if (slash > begin) {
            parts.emplace_back(target.substr(begin, slash - begin));
        }
        begin = slash + 1;
    }
    return parts;
}

int NumberIn(std::string_view text) {
    int value = 0;
    bool any = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            value = value * 10 + (c - '0');
            any = true;
            if (value > 1'000'000) {
                break;
            }
        } else if (any) {
            break;
        }
    }
    return any ? value : 0;
}

// One result of a magnet page, in UTF-8.
struct Torrent {
    std::string name;
    std::string hash;
    std::string displayName;
    std::string size;
    std::string popularity;
    std::string date;
};

Torrent MakeTorrent(FixtureSite site, const FixtureOptions& options, std::string_view keyword, int page,
                    int index) {
    Torrent torrent;
    const std::string shownKeyword =
        (options.capitals && index % 2 == 1) ? AsciiUpper(std::string(keyword)) : std::string(keyword);
    torrent.name =
        shownKeyword + ".2026.1080p.第" + std::to_string(page) + "页." + std::to_string(index) + ".国语中字";
    const std::string seed = std::string(keyword) + "/" + std::to_string(page) + "/" + std::to_string(index) +
                             (options.duplicates ? "" : std::string("/") + FixtureSites::NameOf(site));
    torrent.hash = InfoHash(seed);
    torrent.displayName = "Movie." + std::to_string(page) + "." + std::to_string(index);
    const std::string gap = options.missingGbkSize ? "가" : " ";
    torrent.size = std::to_string(1 + index % 9) + "." + std::to_string(page % 10) + gap + "GB";
    torrent.popularity = std::to_string(1000 - index * 7 + page);
    torrent.date = "2026-" + std::to_string(10 + page % 3) + "-" + std::to_string(10 + index % 18);
    return torrent;
}

std::string ItemHtml(FixtureSite site, const Torrent& t, std::string_view keyword) {
    const std::string name = HtmlEscape(t.name);
    switch (site) {
        case FixtureSite::Btrabbit:
            return "<div class=\"search-item\">\n"
                   "<div class=\"item-title\"><h3><a title=\"" +
                   name + "\"  href=\"/hash/" + t.hash + ".html\" target=\"_blank\">" + name +
                   "</a></h3></div>\n"
                   "<div class=\"item-bar\"><span>文件大小：<b class=\"cpill yellow-pill\">" +
                   t.size + "</b></span><span>下载热度：<b>" + t.popularity +
                   "</b></span><span>创建时间：<b>" + t.date +
                   "</b></span><span>--<a href=\"magnet:?xt=urn:btih:" + t.hash + "&amp;dn=" + t.displayName +
                   "\" class=\"download\">磁力链接</a></span></div>\n</div>\n";
        case FixtureSite::Zzs: {
            // The site highlights the keyword and spaces the words.
            std::string spaced = "<b>" + HtmlEscape(std::string(keyword)) + "</b> 2026 1080p " +
                                 t.name.substr(t.name.find("第"));
            std::replace(spaced.begin() + static_cast<std::ptrdiff_t>(spaced.find("第")), spaced.end(), '.',
                         ' ');
            return "<div class=\"search-item\"><a href=\"/info-" + t.hash +
                   ".html\" target=\"_blank\">"
                   "<h4 class=\"item-title\">" +
                   spaced +
                   "</h4></a>\n"
                   "<table class=\"item-info\"><tr><td>大小：<strong>" +
                   t.size + "</strong></td><td>热度：<strong>" + t.popularity +
                   "</strong></td><td>创建日期：<strong>" + t.date +
                   "</strong></td><td><a href=\"magnet:?xt=urn:btih:" + t.hash + "&dn=" + t.displayName +
                   "\"><span class=\"magnet-btn\">磁力链接</span></a></td></tr></table></div>\n";
        }
        case FixtureSite::Dss: {
            const std::string shown = t.name.substr(0, t.name.find(".2026"));
            const std::string rest = t.name.substr(shown.size());
            return "<div class=\"item\"><div class=\"T1\"><a href=\"/torrent/" + t.hash +
                   "\" target=\"_blank\"><span class=\"mhl\">" + HtmlEscape(shown) + "</span>" +
                   HtmlEscape(rest) + "</a></div>\n<div class=\"BotInfo\"><p>大小:<span> " + t.size +
                   "</span> 创建日期:<span> " + t.date + " </span> 访问热度:<span> " + t.popularity +
                   " </span> <a href=\"magnet:?xt=urn:btih:" + t.hash + "&dn=" + t.displayName +
                   "\">[磁力链接]</a></p></div></div>\n";
        }
        case FixtureSite::Btbook:
            return "<div class=\"search-item\"><div class=\"item-title\"><h3><a title=\"" + name +
                   "\" href=\"/hash/" + t.hash + ".html\" target=\"_blank\">" + name +
                   "</a></h3></div>\n"
                   "<div class=\"item-bar\"><span>文件大小：<b class=\"cpill yellow-pill\">" +
                   t.size + "</b></span><span>下载热度：<b class=\"cpill\">" + t.popularity +
                   "</b></span><span>创建时间：<b class=\"cpill blue-pill\"><b>" + t.date +
                   "</b></b></span><a href=\"magnet:?xt=urn:btih:" + t.hash + "&amp;dn=" + t.displayName +
                   "\" class=\"download\">磁力链接</a></div></div>\n";
        default:
            return {};
    }
}

std::string PageHead(std::string_view title, std::string_view keyword) {
    return "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head><meta charset=\"utf-8\"><title>" +
           HtmlEscape(keyword) + " - " + std::string(title) +
           "</title></head>\n<body>\n<div class=\"header\"><a href=\"/\">" + std::string(title) +
           "</a><form action=\"/search\"><input name=\"q\" value=\"" + HtmlEscape(keyword) +
           "\"></form></div>\n<div class=\"results\">\n";
}

const char* kPageFoot = "</div>\n<div class=\"footer\">Copyright 2026</div>\n</body>\n</html>\n";

const char* SiteTitle(FixtureSite site) {
    switch (site) {
        case FixtureSite::Btrabbit:
            return "BT兔子";
        case FixtureSite::Zzs:
            return "种子搜";
        case FixtureSite::Dss:
            return "屌丝搜";
        case FixtureSite::Btbook:
            return "Btbook";
        case FixtureSite::Play7dds:
            return "7DDS";
        case FixtureSite::Lexiang:
            return "乐享电影网";
        case FixtureSite::Board:
            return "猫眼电影";
    }
    return "";
}

std::string NoResultsPage(FixtureSite site, std::string_view keyword) {
    return PageHead(SiteTitle(site), keyword) + "<p class=\"empty\">没有找到相关资源</p>\n" + kPageFoot;
}

std::string JunkBytes(std::size_t size) {
    std::string junk(size, '\0');
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    for (char& c : junk) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        c = static_cast<char>((state & 0xFF) == 0 ? 0x80 : (state & 0xFF));
    }
    return junk;
}

HeaderList HtmlHeaders() {
    return {{"Content-Type", "text/html; charset=utf-8"}};
}

}  // namespace

struct FixtureSites::Impl {
    FixtureOptions options;
    std::array<std::unique_ptr<LoopbackServer>, kFixtureSiteCount> servers;

    HostileMode HostileFor(FixtureSite site) const {
        const auto found = options.hostile.find(site);
        return found == options.hostile.end() ? HostileMode::None : found->second;
    }

    void Serve(FixtureSite site, const RecordedRequest& request, Responder& reply) const;
    void ServeMagnet(FixtureSite site, const RecordedRequest& request, Responder& reply) const;
    void ServePlay(FixtureSite site, const RecordedRequest& request, Responder& reply) const;
    void ServeBoard(const RecordedRequest& request, Responder& reply) const;
};

void FixtureSites::Impl::Serve(FixtureSite site, const RecordedRequest& request, Responder& reply) const {
    const HostileMode hostile = HostileFor(site);
    switch (hostile) {
        case HostileMode::EmptyBody:
            reply.Send(200, "OK", HtmlHeaders(), "");
            return;
        case HostileMode::Binary:
            reply.Send(200, "OK", {{"Content-Type", "application/octet-stream"}}, JunkBytes(64 * 1024));
            return;
        case HostileMode::Stall:
            reply.Stall();
            return;
        default:
            break;
    }
    if (site == FixtureSite::Board) {
        ServeBoard(request, reply);
    } else if (site == FixtureSite::Play7dds || site == FixtureSite::Lexiang) {
        ServePlay(site, request, reply);
    } else {
        ServeMagnet(site, request, reply);
    }
}

void FixtureSites::Impl::ServeMagnet(FixtureSite site, const RecordedRequest& request,
                                     Responder& reply) const {
    // /search/KW/default-P.html, /list/KW/rel/P, /list/KW/P, /sou/KW/time-P.html
    const std::vector<std::string> parts = SplitPath(request.target);
    if (parts.size() < 3) {
        reply.Send(404, "Not Found", HtmlHeaders(), "<html><body>404</body></html>");
        return;
    }
    const std::string keyword = PercentDecode(parts[1]);
    const int page = NumberIn(parts.back());
    const HostileMode hostile = HostileFor(site);

    if (hostile == HostileMode::Huge || hostile == HostileMode::Endless) {
        std::string piece;
        for (int i = 1; i <= 50; ++i) {
            piece += ItemHtml(site, MakeTorrent(site, options, keyword, page, i), keyword);
        }
        const std::size_t total = hostile == HostileMode::Huge ? kHugeBytes : 0;
        std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n";
        head += hostile == HostileMode::Huge ? "Content-Length: " + std::to_string(kHugeBytes) + "\r\n" : "";
        head += "Connection: close\r\n\r\n";
        if (reply.SendRaw(head + PageHead(SiteTitle(site), keyword))) {
            reply.Stream(piece, total);
        }
        return;
    }
    if (hostile == HostileMode::ManyResults) {
        std::string body = PageHead(SiteTitle(site), keyword);
        const std::string item = ItemHtml(site, MakeTorrent(site, options, keyword, page, 1), keyword);
        body.reserve(item.size() * kManyResults);
        for (int i = 0; i < kManyResults; ++i) {
            body += item;
        }
        reply.Send(200, "OK", HtmlHeaders(), body + kPageFoot);
        return;
    }
    std::string body = FixtureSites::MagnetPage(site, options, keyword, page);
    if (hostile == HostileMode::InvalidUtf8) {
        const std::string bad = "\xC3\x28\xFF\xFE\xE2\x82";
        for (std::size_t at = body.find("2026"); at != std::string::npos;
             at = body.find("2026", at + bad.size() + 4)) {
            body.insert(at, bad);
        }
    }
    if (hostile == HostileMode::Truncated) {
        const std::size_t cut = body.size() / 2;
        reply.SendRaw("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                      std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body.substr(0, cut));
        reply.Close();
        return;
    }
    reply.Send(200, "OK", HtmlHeaders(), body);
}

void FixtureSites::Impl::ServePlay(FixtureSite site, const RecordedRequest& request, Responder& reply) const {
    const bool is7dds = site == FixtureSite::Play7dds;
    const HostileMode hostile = HostileFor(site);
    const std::vector<std::string> parts = SplitPath(request.target);
    if (request.method == "POST") {
        std::string keyword;
        if (request.body.rfind("wd=", 0) == 0) {
            keyword = PercentDecode(request.body.substr(3));
        }
        const int hits = hostile == HostileMode::ManyResults ? kManyResults : options.playHits;
        std::string body = PageHead(SiteTitle(site), keyword) + "<ul class=\"search-list\">\n";
        for (int n = 1; n <= hits; ++n) {
            const std::string address = is7dds ? "vod/detail/" + std::to_string(n) + ".html"
                                               : "/movie/" + std::to_string(n) + ".html";
            body += "<li><h3><a href=\"" + address + "\">" + HtmlEscape(keyword) + " 第" + std::to_string(n) +
                    "部</a></h3><p class=\"info\">类型：剧情</p></li>\n";
        }
        body += "</ul>\n";
        reply.Send(200, "OK", HtmlHeaders(), body + kPageFoot);
        return;
    }
    const bool isDetail = parts.size() >= 2 && (parts[parts.size() - 2] == "detail" || parts[0] == "movie");
    if (!isDetail) {
        reply.Send(200, "OK", HtmlHeaders(), PageHead(SiteTitle(site), "") + "<p>首页</p>\n" + kPageFoot);
        return;
    }
    const int hit = NumberIn(parts.back());
    std::string list;
    for (int k = 1; k <= options.playLinksPerHit; ++k) {
        const std::string episode = "第" + std::string(k < 10 ? "0" : "") + std::to_string(k) + "集";
        if (is7dds) {
            list += "<a title='" + episode + "' href='vod/play/" + std::to_string(hit) + "-" +
                    std::to_string(k) + ".html' target='_blank'>" + episode + "</a>\n";
        } else {
            list += "<li><a href=\"/play/" + std::to_string(hit) + "-" + std::to_string(k) + ".html\">" +
                    episode + "</a></li>";
        }
    }
    std::string body = PageHead(SiteTitle(site), "");
    if (is7dds) {
        body += "<div class=\"playlist\">\n" + list + "</div>\n";
    } else {
        body += "<ul class=\"playlist\">" + list + " </ul>\n<ul class=\"playlist\"><li><a href=\"/backup/" +
                std::to_string(hit) + "-1.html\">备用</a></li> </ul>\n";
    }
    if (hostile == HostileMode::EndlessDetail) {
        if (reply.SendRaw(
                "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nConnection: close\r\n\r\n" +
                body)) {
            reply.Stream(list, 0);
        }
        return;
    }
    reply.Send(200, "OK", HtmlHeaders(), body + kPageFoot);
}

void FixtureSites::Impl::ServeBoard(const RecordedRequest& request, Responder& reply) const {
    const HostileMode hostile = HostileFor(FixtureSite::Board);
    const std::vector<std::string> parts = SplitPath(request.target);
    if (parts.size() == 2 && parts[0] == "poster") {
        if (hostile == HostileMode::PosterNotImage) {
            reply.Send(200, "OK", HtmlHeaders(), "<html><body>no poster here</body></html>");
        } else if (hostile == HostileMode::PosterHuge) {
            if (reply.SendRaw("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nContent-Length: " +
                              std::to_string(kPosterHugeBytes) + "\r\nConnection: close\r\n\r\n")) {
                reply.Stream(FixtureSites::PosterPng(NumberIn(parts[1])), kPosterHugeBytes);
            }
        } else {
            reply.Send(200, "OK", {{"Content-Type", "image/png"}},
                       FixtureSites::PosterPng(NumberIn(parts[1])));
        }
        return;
    }
    if (parts.size() == 1 && parts[0] == "board") {
        // Posters live on the board's own host, as the request named it.
        reply.Send(200, "OK", HtmlHeaders(),
                   FixtureSites::BoardPage(options, "http://" + request.Header("Host")));
        return;
    }
    reply.Send(404, "Not Found", HtmlHeaders(), "<html><body>404</body></html>");
}

FixtureSites::FixtureSites(FixtureOptions options) : impl_(std::make_unique<Impl>()) {
    impl_->options = std::move(options);
    for (int i = 0; i < kFixtureSiteCount; ++i) {
        const auto site = static_cast<FixtureSite>(i);
        Impl* impl = impl_.get();
        impl_->servers[static_cast<std::size_t>(i)] =
            std::make_unique<LoopbackServer>([impl, site](const RecordedRequest& request, Responder& reply) {
                impl->Serve(site, request, reply);
            });
    }
}

FixtureSites::~FixtureSites() {
    Stop();
}

void FixtureSites::Stop() {
    for (auto& server : impl_->servers) {
        if (server) {
            server->Stop();
        }
    }
}

std::string FixtureSites::Address(FixtureSite site) const {
    return impl_->servers[static_cast<std::size_t>(site)]->BaseUrl();
}

std::vector<RecordedRequest> FixtureSites::Requests(FixtureSite site) const {
    return impl_->servers[static_cast<std::size_t>(site)]->Requests();
}

std::string FixtureSites::SiteAddressesSection() const {
    static constexpr std::pair<FixtureSite, const char*> kKeys[] = {
        {FixtureSite::Btrabbit, "Btrabbit"}, {FixtureSite::Zzs, "ZZS"},
        {FixtureSite::Dss, "DSS"},           {FixtureSite::Btbook, "Btbook"},
        {FixtureSite::Play7dds, "7DDS"},     {FixtureSite::Lexiang, "乐享电影网"},
        {FixtureSite::Board, "院线热映"},
    };
    std::string section = "[站点地址]\r\n";
    for (const auto& [site, key] : kKeys) {
        section += std::string(key) + "=" + Address(site) + "\r\n";
    }
    return section;
}

void FixtureSites::WriteSettingsFile(const std::filesystem::path& iniPath,
                                     std::string_view settingsUtf8) const {
    std::filesystem::create_directories(iniPath.parent_path());
    std::ofstream out(iniPath, std::ios::binary | std::ios::trunc);
    std::string text(settingsUtf8);
    if (!text.empty() && text.back() != '\n') {
        text += "\r\n";
    }
    out << Utf8ToGbk(text + SiteAddressesSection());
    if (!out) {
        throw std::runtime_error("cannot write " + iniPath.string());
    }
}

const char* FixtureSites::NameOf(FixtureSite site) {
    static constexpr const char* kNames[] = {"btrabbit", "zzs", "dss", "btbook", "7dds", "lexiang", "board"};
    return kNames[static_cast<std::size_t>(site)];
}

std::optional<FixtureSite> FixtureSites::SiteNamed(std::string_view name) {
    for (int i = 0; i < kFixtureSiteCount; ++i) {
        if (name == NameOf(static_cast<FixtureSite>(i))) {
            return static_cast<FixtureSite>(i);
        }
    }
    return std::nullopt;
}

std::optional<HostileMode> FixtureSites::HostileNamed(std::string_view name) {
    static constexpr std::pair<const char*, HostileMode> kModes[] = {
        {"empty-body", HostileMode::EmptyBody},
        {"binary", HostileMode::Binary},
        {"truncated", HostileMode::Truncated},
        {"huge", HostileMode::Huge},
        {"endless", HostileMode::Endless},
        {"many", HostileMode::ManyResults},
        {"invalid-utf8", HostileMode::InvalidUtf8},
        {"stall", HostileMode::Stall},
        {"endless-detail", HostileMode::EndlessDetail},
        {"poster-not-image", HostileMode::PosterNotImage},
        {"poster-huge", HostileMode::PosterHuge},
        {"short-cast", HostileMode::ShortCastList},
    };
    for (const auto& [modeName, mode] : kModes) {
        if (name == modeName) {
            return mode;
        }
    }
    return std::nullopt;
}

std::string FixtureSites::MagnetPage(FixtureSite site, const FixtureOptions& options,
                                     std::string_view keywordUtf8, int page) {
    const int emptyFrom = options.emptyFrom[static_cast<std::size_t>(site)];
    if (emptyFrom > 0 && page >= emptyFrom) {
        return NoResultsPage(site, keywordUtf8);
    }
    std::string body = PageHead(SiteTitle(site), keywordUtf8);
    for (int i = 1; i <= options.resultsPerPage; ++i) {
        body += ItemHtml(site, MakeTorrent(site, options, keywordUtf8, page, i), keywordUtf8);
    }
    body += "<div class=\"pager\"><a href=\"#\">" + std::to_string(page + 1) + "</a></div>\n";
    return body + kPageFoot;
}

std::string FixtureSites::MagnetLinkOnPage(FixtureSite site, const FixtureOptions& options,
                                           std::string_view keywordUtf8, int page, int index) {
    const Torrent t = MakeTorrent(site, options, keywordUtf8, page, index);
    const bool amp = site == FixtureSite::Btrabbit || site == FixtureSite::Btbook;
    return "magnet:?xt=urn:btih:" + t.hash + (amp ? "&amp;dn=" : "&dn=") + t.displayName;
}

std::string FixtureSites::BoardMovieName(int entry) {
    return "热映电影" + std::to_string(entry);
}

std::string FixtureSites::BoardCastText(int entry) {
    switch (entry % 4) {
        case 1:
            return "\n                主演：张三,李四\n        ";
        case 2:
            return "主演：张三丰,李四光,王五郎,赵六";  // 25 bytes in GBK once the spaces are gone
        case 3:
            return "主演：Tom Hanks,Meg Ryan";
        default:
            return "暂无演员信息";
    }
}

std::string FixtureSites::PosterPng(int entry) {
    return MakePng(4, 6, static_cast<std::uint8_t>(20 * entry), 80,
                   static_cast<std::uint8_t>(255 - 20 * entry));
}

std::string FixtureSites::BoardPage(const FixtureOptions& options, std::string_view posterBase) {
    const bool shortCast = options.hostile.count(FixtureSite::Board) != 0 &&
                           options.hostile.at(FixtureSite::Board) == HostileMode::ShortCastList;
    std::string page = PageHead("猫眼电影", "") + "<dl class=\"board-wrapper\">\n";
    for (int n = 1; n <= options.boardEntries; ++n) {
        const std::string name = BoardMovieName(n);
        const std::string id = std::to_string(1000 + n);
        const std::string fraction = n == 3 ? "" : std::to_string(n % 10);
        page += "<dd>\n<i class=\"board-index board-index-" + std::to_string(n) + "\">" + std::to_string(n) +
                "</i>\n<a href=\"/films/" + id + "\" title=\"" + name +
                "\" class=\"image-link\" data-act=\"boarditem-click\" data-val=\"{movieId:" + id +
                "}\">\n"
                "<img src=\"//s3plus.example/placeholder.png\" class=\"poster-default\" />\n"
                "<img data-src=\"" +
                std::string(posterBase) + "/poster/" + std::to_string(n) + ".png\" alt=\"" + name +
                "\" class=\"board-img\" />\n</a>\n<div class=\"board-item-main\">\n<div "
                "class=\"movie-item-info\">\n"
                "<p class=\"name\"><a href=\"/films/" +
                id + "\" title=\"" + name + "\" data-act=\"boarditem-click\">" + name + "</a></p>\n";
        if (!shortCast || n <= 5) {
            page += "<p class=\"star\">" + BoardCastText(n) + "</p>\n";
        }
        page += "<p class=\"releasetime\">上映时间：2026-12-" + std::to_string(10 + n) +
                "</p>    </div>\n"
                "<div class=\"movie-item-number score-num\">\n"
                "<p class=\"score\"><i class=\"integer\">" +
                std::to_string(7 + n % 3) + ".</i><i class=\"fraction\">" + fraction +
                "</i></p>  \n</div>\n</div>\n</dd>\n";
    }
    page += "</dl>\n";
    return page + kPageFoot;
}

}  // namespace fw::test
