#include "cli/board_command.h"

#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "app/settings_path.h"
#include "app/site_addresses.h"
#include "board/load_board.h"
#include "cli/cli_output.h"
#include "util/code_page.h"

namespace fw::cli {

int RunBoardCommand(const CliOptions& options) {
    const SiteAddresses addresses = LoadSiteAddresses(SettingsIniPath());
    MemoryPosterSlots slots;
    LoadBoard(addresses.board + "/board", slots);

    std::string out;
    if (options.json) {
        using nlohmann::ordered_json;
        ordered_json board = ordered_json::array();
        for (const auto& slot : slots.Slots()) {
            board.push_back({{"slot", slot.slot},
                             {"name", GbkToUtf8(slot.name)},
                             {"release", GbkToUtf8(slot.releaseLine)},
                             {"score", GbkToUtf8(slot.score)},
                             {"cast", GbkToUtf8(slot.cast)},
                             {"posterBytes", slot.picture.size()}});
        }
        out = ordered_json{{"board", board}}.dump(-1, ' ', false, ordered_json::error_handler_t::replace) +
              "\n";
    } else {
        for (const auto& slot : slots.Slots()) {
            out += "B\t" + std::to_string(slot.slot) + "\t" + EscapeField(slot.name) + "\t" +
                   EscapeField(slot.releaseLine) + "\t" + EscapeField(slot.score) + "\t" +
                   EscapeField(slot.cast) + "\t" + std::to_string(slot.picture.size()) + "\n";
        }
    }
    std::cout << out;
    std::cout.flush();
    return std::cout ? 0 : 1;
}

}  // namespace fw::cli
