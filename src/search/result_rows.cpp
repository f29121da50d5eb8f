#include "search/result_rows.h"

#include <string>

namespace fw {

std::vector<Text> MagnetRowCells(int id, const MagnetResult& result) {
    return {std::to_string(id), result.name,       result.link, result.site,
            result.size,        result.popularity, result.date};
}

std::vector<Text> PlayRowCells(int id, const PlayResult& result) {
    return {std::to_string(id), result.title, result.label, result.site, result.address};
}

}  // namespace fw
