#pragma once

// Small real PNG images, made in memory, for the posters of the fixture board.

#include <cstdint>
#include <string>

namespace fw::test {

// A `width` × `height` PNG of one colour (8-bit RGB), as encoded bytes.
std::string MakePng(int width, int height, std::uint8_t red, std::uint8_t green, std::uint8_t blue);

}  // namespace fw::test
