#pragma once

// The records behind the rows of the two result lists. The "ID" column is not part of a record: the list
// forms it when the row is added.

#include <vector>

#include "util/types.h"

namespace fw {

struct MagnetResult {
    Text name;
    Text link;
    Text site;  // "Btrabbit", "ZZS", "DSS" or "Btbook"
    Text size;
    Text popularity;
    Text date;
};

struct PlayResult {
    Text title;
    Text label;
    Text site;  // "7DDS" or "乐享电影网"
    Text address;
};

// The cells of a list row: the ID in column 0, then the record's fields.
std::vector<Text> MagnetRowCells(int id, const MagnetResult& result);
std::vector<Text> PlayRowCells(int id, const PlayResult& result);

}  // namespace fw
