#include "support/png_image.h"

#include <zlib.h>

#include <vector>

namespace fw::test {
namespace {

void PutUint32(std::string& out, std::uint32_t value) {
    out.push_back(static_cast<char>(value >> 24));
    out.push_back(static_cast<char>(value >> 16));
    out.push_back(static_cast<char>(value >> 8));
    out.push_back(static_cast<char>(value));
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
    PutUint32(out, static_cast<std::uint32_t>(data.size()));
    const std::string typeAndData = std::string(type, 4) + data;
    out += typeAndData;
    PutUint32(out, static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(typeAndData.data()),
                                                    static_cast<uInt>(typeAndData.size()))));
}

}  // namespace

std::string MakePng(int width, int height, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    std::string header;
    PutUint32(header, static_cast<std::uint32_t>(width));
    PutUint32(header, static_cast<std::uint32_t>(height));
    header += std::string{8, 2, 0, 0, 0};  // 8 bits per sample, RGB, deflate, no filter, no interlace

    std::string rows;
    for (int y = 0; y < height; ++y) {
        rows.push_back(0);  // filter: none
        for (int x = 0; x < width; ++x) {
            rows.push_back(static_cast<char>(red));
            rows.push_back(static_cast<char>(green));
            rows.push_back(static_cast<char>(blue));
        }
    }
    uLongf compressedSize = compressBound(static_cast<uLong>(rows.size()));
    std::vector<Bytef> compressed(compressedSize);
    compress(compressed.data(), &compressedSize, reinterpret_cast<const Bytef*>(rows.data()),
             static_cast<uLong>(rows.size()));

    std::string png("\x89PNG\r\n\x1a\n", 8);
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", std::string(reinterpret_cast<const char*>(compressed.data()), compressedSize));
    PutChunk(png, "IEND", "");
    return png;
}

}  // namespace fw::test
