#pragma once

// The texts of the status bar's five panes.

#include <array>
#include <cstdint>

#include "search/run_ports.h"

namespace fw {

// " 磁力链接： 无" … " 搜索耗时： 无", as the panes read before a run's first refresh.
std::array<Text, kStatusPaneCount> InitialStatusPanes();

// Elapsed milliseconds as seconds rounded half away from zero to two places, without trailing zeros or
// a trailing point: 12345 -> "12.35", 5000 -> "5", 100 -> "0.1".
Text ElapsedSecondsText(std::uint32_t elapsedMs);

struct StatusCounts {
    int magnetRows;
    int playRows;
    int filteredLinks;
    int filteredResources;
    std::uint32_t elapsedMs;
};

std::array<Text, kStatusPaneCount> StatusPaneTexts(const StatusCounts& counts);

}  // namespace fw
