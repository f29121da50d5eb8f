#pragma once

// The cinema board: reads the board page once, picks its entries out with four patterns and the cast
// list, and writes the first ten into poster slots 1 … 5 and 7 … 11, each slot complete (poster, name,
// release line, score, cast) before the next poster is read. Runs on its own thread, once per start.

#include <string_view>
#include <vector>

#include "board/poster_slots.h"
#include "util/types.h"

namespace fw {

struct BoardMovie {
    Text name;
    Text posterAddress;
    Text releaseLine;  // "上映时间：" + the date text
    Text score;        // integer part followed by fraction part, "9." + "5" -> "9.5"
    Text cast;         // cleaned; "无" when the page names nobody
};

// Every entry of a board page (GBK), in page order, the eleventh and later included.
std::vector<BoardMovie> ParseBoardPage(std::string_view pageText);

// Cleans one text of the cast list: what follows the last "主演：", without spaces; "无" when empty; over
// 24 bytes and holding a "," only the first name.
Text CleanCast(std::string_view castText);

// The slot an entry goes to: entries 1 … 5 to slots 1 … 5, entries 6 … 10 to slots 7 … 11; 0 for the
// rest, which are not shown.
int SlotOfEntry(int entry);

// Reads `boardAddress` (the whole page address) and fills the slots.
void LoadBoard(std::string_view boardAddress, PosterSlots& slots);

}  // namespace fw
