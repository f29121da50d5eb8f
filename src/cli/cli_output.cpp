#include "cli/cli_output.h"

#include <nlohmann/json.hpp>

#include "util/code_page.h"

namespace fw::cli {
namespace {

std::string Line(char kind, const std::vector<Text>& fields) {
    std::string line(1, kind);
    for (const Text& field : fields) {
        line += '\t';
        line += EscapeField(field);
    }
    line += '\n';
    return line;
}

// The ID column holds the row number the list gave the row.
long long IdNumber(const Text& id) {
    try {
        return std::stoll(id);
    } catch (const std::exception&) {
        return 0;
    }
}

const Text& Cell(const std::vector<Text>& row, std::size_t column) {
    static const Text empty;
    return column < row.size() ? row[column] : empty;
}

}  // namespace

std::string EscapeField(std::string_view gbk) {
    const std::string utf8 = GbkToUtf8(gbk);
    std::string escaped;
    escaped.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
            case '\\':
                escaped += "\\\\";
                break;
            case '\t':
                escaped += "\\t";
                break;
            case '\r':
                escaped += "\\r";
                break;
            case '\n':
                escaped += "\\n";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string SearchLines(const Rows& magnetRows, const Rows& playRows,
                        const std::array<Text, kStatusPaneCount>& panes) {
    std::string out;
    for (const auto& row : magnetRows) {
        out += Line('M', row);
    }
    for (const auto& row : playRows) {
        out += Line('P', row);
    }
    out += Line('S', std::vector<Text>(panes.begin(), panes.end()));
    return out;
}

std::string SearchJson(const Rows& magnetRows, const Rows& playRows,
                       const std::array<Text, kStatusPaneCount>& panes) {
    using nlohmann::ordered_json;
    ordered_json magnet = ordered_json::array();
    for (const auto& row : magnetRows) {
        magnet.push_back({{"id", IdNumber(Cell(row, 0))},
                          {"name", GbkToUtf8(Cell(row, 1))},
                          {"link", GbkToUtf8(Cell(row, 2))},
                          {"site", GbkToUtf8(Cell(row, 3))},
                          {"size", GbkToUtf8(Cell(row, 4))},
                          {"popularity", GbkToUtf8(Cell(row, 5))},
                          {"date", GbkToUtf8(Cell(row, 6))}});
    }
    ordered_json play = ordered_json::array();
    for (const auto& row : playRows) {
        play.push_back({{"id", IdNumber(Cell(row, 0))},
                        {"title", GbkToUtf8(Cell(row, 1))},
                        {"label", GbkToUtf8(Cell(row, 2))},
                        {"site", GbkToUtf8(Cell(row, 3))},
                        {"address", GbkToUtf8(Cell(row, 4))}});
    }
    ordered_json status = ordered_json::array();
    for (const Text& pane : panes) {
        status.push_back(GbkToUtf8(pane));
    }
    const ordered_json document = {{"magnet", magnet}, {"play", play}, {"status", status}};
    return document.dump(-1, ' ', false, ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace fw::cli
