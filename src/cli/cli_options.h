#pragma once

// The command line's arguments.

#include <optional>
#include <string>
#include <vector>

namespace fw::cli {

enum class Command { Help, Search, Board };

struct CliOptions {
    Command command = Command::Help;
    bool json = false;
    // search: every option left out keeps what the settings file (or the design value) gives.
    std::optional<std::string> pages;
    std::optional<std::string> threads;
    std::optional<std::string> interval;
    std::optional<std::vector<std::string>> sites;  // from btrabbit, zzs, dss, btbook
    std::optional<std::vector<std::string>> play;   // from 7dds, lexiang
    std::optional<bool> exact;
    std::optional<bool> dedupe;
    std::string keyword;  // UTF-8, as typed
};

struct ParseOutcome {
    std::optional<CliOptions> options;  // empty on a usage error
    std::string error;
};

ParseOutcome ParseArguments(const std::vector<std::string>& arguments);

std::string UsageText();

}  // namespace fw::cli
