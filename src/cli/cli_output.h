#pragma once

// The command line's output: UTF-8 lines of TAB-separated fields, or one JSON object.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "search/run_ports.h"
#include "util/types.h"

namespace fw::cli {

using Rows = std::vector<std::vector<Text>>;

// A GBK field as UTF-8 with "\\", TAB, CR and LF written as \\, \t, \r and \n.
std::string EscapeField(std::string_view gbk);

// "M" lines for the magnet rows, "P" lines for the play rows, then the "S" line of the five panes.
std::string SearchLines(const Rows& magnetRows, const Rows& playRows,
                        const std::array<Text, kStatusPaneCount>& panes);

std::string SearchJson(const Rows& magnetRows, const Rows& playRows,
                       const std::array<Text, kStatusPaneCount>& panes);

}  // namespace fw::cli
