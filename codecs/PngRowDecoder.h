#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quenda::png {

// What a decoded row's samples mean: the header's colour type and depth with the
// palette, transparency and colour key that apply to them.
struct SampleFormat {
    uint8_t colorType = 0;
    uint8_t bitDepth = 8;
    // Palette colours R, G, B (colour type 3) or the grey ramp (colour type 0 below 8 bits).
    std::vector<uint8_t> palette;
    // Alpha of each palette index (colour type 3); 255 where no transparency applies.
    std::array<uint8_t, 256> indexAlpha{};
    // Colour key: grey value (type 0) or red, green, blue (type 2), compared on the
    // samples' most significant bytes at depth 16.
    bool hasKey = false;
    std::array<uint8_t, 3> key{};
};

// Rows of inflated image data, handed out one after the other.
class RowFeed {
  public:
    virtual ~RowFeed() = default;
    // The next n bytes, valid until the call after next; nullptr when there are none.
    virtual uint8_t* Next(size_t n) = 0;
};

// Reverses a row's filter in place; prior is the previous unfiltered row of the pass
// (zeros for the first). False for a filter type above 4, leaving the row unchanged.
bool Unfilter(uint8_t filterType, uint8_t* row, const uint8_t* prior, size_t rowBytes,
              unsigned distance);

// Converts `count` pixels of an unfiltered row to premultiplied BGRA at dst, dst + step,
// and so on, every one of them (transparent ones as zeros). False for a palette index
// beyond the palette.
bool ConvertRow(const SampleFormat& format, const uint8_t* row, uint32_t count, uint8_t* dst,
                size_t step);

}  // namespace quenda::png
