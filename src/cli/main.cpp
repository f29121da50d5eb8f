// ferrowind-cli: the search engine of the desktop window, driven from the command line.

#include <iostream>
#include <string>
#include <vector>

#include "cli/board_command.h"
#include "cli/cli_options.h"
#include "cli/search_command.h"

int main(int argc, char** argv) {
    using namespace fw::cli;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const ParseOutcome parsed = ParseArguments(arguments);
    if (!parsed.options) {
        std::cerr << "ferrowind-cli: " << parsed.error << "\n\n" << UsageText();
        return 2;
    }
    try {
        switch (parsed.options->command) {
            case Command::Help:
                std::cout << UsageText();
                return 0;
            case Command::Search:
                return RunSearchCommand(*parsed.options);
            case Command::Board:
                return RunBoardCommand(*parsed.options);
        }
    } catch (const std::exception& error) {
        std::cerr << "ferrowind-cli: " << error.what() << '\n';
    }
    return 1;
}
