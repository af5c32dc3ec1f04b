#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace testsupport {

// Assembles Windows bitmap files field by field, so tests can state exactly
// what a file holds, including malformed ones.
struct BmpBuilder {
    uint32_t headerSize = 40;  // 12 (core), 16 or 64 (OS/2), 40, 52, 56, 108, 124
    int32_t width = 0;
    int32_t height = 0;  // negative: rows stored top-down
    uint16_t bitsPerPixel = 24;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    std::vector<std::array<uint8_t, 3>> palette;  // red, green, blue
    std::array<uint32_t, 4> masks{};              // red, green, blue, alpha
    bool trailingMasks = false;                   // masks after a 40-byte header
    std::vector<uint8_t> pixelData;               // rows or an RLE stream, as stored
    std::optional<uint32_t> pixelOffset;          // default: right after the palette

    std::vector<uint8_t> Build() const;
};

// Packs pixel values (top row first, one value per pixel: a palette index, a
// 16- or 32-bit word, or 0x00RRGGBB for 24 bits) into padded rows in the order
// the file stores them.
std::vector<uint8_t> PackRows(int32_t width, int32_t height, uint16_t bitsPerPixel,
                              const std::vector<uint32_t>& valuesTopDown, bool topDown);

}  // namespace testsupport
