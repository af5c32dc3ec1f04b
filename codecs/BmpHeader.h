#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "imaging/LoadFailure.h"
#include "imaging/PixelMath.h"

namespace quenda::bmp {

enum Compression : uint32_t {
    kRgb = 0,
    kRle8 = 1,
    kRle4 = 2,
    kBitFields = 3,
    kAlphaBitFields = 6,
};

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kCoreHeaderSize = 12;
constexpr size_t kInfoHeaderSize = 40;

constexpr std::array<uint8_t, 2> kSignature = {'B', 'M'};

inline bool HasSignature(const uint8_t* data, size_t size) {
    return size >= kSignature.size() && std::equal(kSignature.begin(), kSignature.end(), data);
}

// Where the file header's fields stand, from the start of the file.
constexpr size_t kPixelOffsetField = 10;

// Where an info header's fields stand, from the start of that header; the first
// field of every information header is its own size.
constexpr size_t kInfoWidthField = 4;
constexpr size_t kInfoHeightField = 8;
constexpr size_t kInfoBitsPerPixelField = 14;
constexpr size_t kInfoCompressionField = 16;
constexpr size_t kInfoColorsUsedField = 32;
constexpr size_t kInfoMasksField = 40;  // red, green, blue masks of a V2 or later header

// The same info header fields, from the start of the file.
constexpr size_t kHeaderSizeField = kFileHeaderSize;
constexpr size_t kWidthField = kFileHeaderSize + kInfoWidthField;
constexpr size_t kHeightField = kFileHeaderSize + kInfoHeightField;
constexpr size_t kBitsPerPixelField = kFileHeaderSize + kInfoBitsPerPixelField;
constexpr size_t kCompressionField = kFileHeaderSize + kInfoCompressionField;

// Everything the decoder needs from a bitmap's headers, checked against the data.
struct BmpInfo {
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;  // always positive
    bool topDown = false;
    uint16_t bitsPerPixel = 0;
    uint32_t compression = kRgb;
    std::array<uint32_t, 3> masks{};  // red, green, blue bit fields
    size_t paletteOffset = 0;
    size_t paletteEntrySize = 4;
    uint32_t paletteCount = 0;  // entries present in the data, at most 2^bits
    size_t pixelOffset = 0;
};

// Reads and checks the file header and any of the core, info, V2 to V5 or OS/2
// information headers. The reason, when the decoder cannot read them (empty on success).
LoadFailure ParseBmpInfo(const uint8_t* data, size_t size, BmpInfo& info);

// The palette as BGRA words with alpha 255; entries the file does not hold are
// opaque black, so every index of the bit depth has a colour.
std::array<uint32_t, 256> ReadBmpPalette(const uint8_t* data, size_t size, const BmpInfo& info);

// The 32-bit word whose bytes in memory are Blue, Green, Red, 255.
constexpr uint32_t OpaqueBgra(uint8_t blue, uint8_t green, uint8_t red) {
    return PixelWord(blue, green, red, 255);
}

}  // namespace quenda::bmp
