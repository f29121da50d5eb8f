#include "cli/cli_options.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace fw::cli {
namespace {

std::vector<std::string> SplitList(const std::string& list) {
    std::vector<std::string> items;
    std::size_t begin = 0;
    while (begin <= list.size() && !list.empty()) {
        std::size_t comma = list.find(',', begin);
        if (comma == std::string::npos) {
            comma = list.size();
        }
        items.push_back(list.substr(begin, comma - begin));
        begin = comma + 1;
    }
    return items;
}

bool AllKnown(const std::vector<std::string>& items, std::initializer_list<std::string_view> known) {
    return std::all_of(items.begin(), items.end(), [&](const std::string& item) {
        return std::find(known.begin(), known.end(), item) != known.end();
    });
}

ParseOutcome UsageError(std::string message) {
    return {std::nullopt, std::move(message)};
}

}  // namespace

std::string UsageText() {
    return "Usage:\n"
           "  ferrowind-cli search [OPTIONS] KEYWORD   search the magnet and online-play sites\n"
           "  ferrowind-cli board [--json]             read the cinema board\n"
           "  ferrowind-cli --help                     show this help\n"
           "\n"
           "Search options (left out: the settings file's value, else the window's design value):\n"
           "  --pages N              pages per run, corrected into 1 … 100\n"
           "  --threads T            batch size, corrected into 1 … 20\n"
           "  --interval MS          wait after each page, corrected into 100 … 3000\n"
           "  --sites LIST           magnet sites, comma-separated from btrabbit,zzs,dss,btbook (\"\" none)\n"
           "  --play LIST            online-play sites from 7dds,lexiang (\"\" none)\n"
           "  --exact | --no-exact   keep only names that contain the keyword\n"
           "  --dedupe | --no-dedupe drop links that are already listed\n"
           "  --json                 one JSON object instead of lines\n"
           "  --                     end of options (for a keyword that begins with \"-\")\n"
           "\n"
           "Settings: $XDG_CONFIG_HOME (else ~/.config)/配置/Ferrowind/Configuration.ini, read only.\n"
           "Exit status: 0 done, 2 usage error, 1 anything else.\n";
}

ParseOutcome ParseArguments(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        return UsageError("a command is required");
    }
    CliOptions options;
    const std::string& command = arguments[0];
    if (command == "--help" || command == "-h" || command == "help") {
        options.command = Command::Help;
        return {options, {}};
    }
    if (command == "search") {
        options.command = Command::Search;
    } else if (command == "board") {
        options.command = Command::Board;
    } else {
        return UsageError("unknown command: " + command);
    }

    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        std::string argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument.compare(0, 2, "--") != 0) {
            positional.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        // "--name=value" and "--name value" both work for options that take a value.
        std::optional<std::string> inlineValue;
        if (const auto equals = argument.find('='); equals != std::string::npos) {
            inlineValue = argument.substr(equals + 1);
            argument.resize(equals);
        }
        auto takeValue = [&](std::optional<std::string>& target) -> bool {
            if (inlineValue) {
                target = *inlineValue;
                return true;
            }
            if (i + 1 >= arguments.size()) {
                return false;
            }
            target = arguments[++i];
            return true;
        };
        auto flag = [&](std::optional<bool>& target, bool value) -> bool {
            target = value;
            return !inlineValue;
        };
        bool ok = true;
        std::optional<std::string> list;
        if (argument == "--json") {
            options.json = true;
            ok = !inlineValue;
        } else if (options.command == Command::Board) {
            return UsageError("unknown option for board: " + argument);
        } else if (argument == "--pages") {
            ok = takeValue(options.pages);
        } else if (argument == "--threads") {
            ok = takeValue(options.threads);
        } else if (argument == "--interval") {
            ok = takeValue(options.interval);
        } else if (argument == "--sites") {
            ok = takeValue(list);
            if (ok) {
                options.sites = SplitList(*list);
                if (!AllKnown(*options.sites, {"btrabbit", "zzs", "dss", "btbook"})) {
                    return UsageError("--sites takes names from btrabbit,zzs,dss,btbook");
                }
            }
        } else if (argument == "--play") {
            ok = takeValue(list);
            if (ok) {
                options.play = SplitList(*list);
                if (!AllKnown(*options.play, {"7dds", "lexiang"})) {
                    return UsageError("--play takes names from 7dds,lexiang");
                }
            }
        } else if (argument == "--exact") {
            ok = flag(options.exact, true);
        } else if (argument == "--no-exact") {
            ok = flag(options.exact, false);
        } else if (argument == "--dedupe") {
            ok = flag(options.dedupe, true);
        } else if (argument == "--no-dedupe") {
            ok = flag(options.dedupe, false);
        } else {
            return UsageError("unknown option: " + argument);
        }
        if (!ok) {
            return UsageError("option " + argument + (inlineValue ? " takes no value" : " needs a value"));
        }
    }

    if (options.command == Command::Board) {
        if (!positional.empty()) {
            return UsageError("board takes no arguments");
        }
        return {options, {}};
    }
    if (positional.size() != 1) {
        return UsageError(positional.empty() ? "search needs a KEYWORD" : "search takes one KEYWORD");
    }
    if (positional[0].empty()) {
        return UsageError("the keyword is empty");
    }
    options.keyword = positional[0];
    return {options, {}};
}

}  // namespace fw::cli
