#pragma once

#include <cstddef>
#include <cstdint>

namespace quenda {

class c32bppDIB;

// Where the parts of one bitmap image inside an icon lie (offsets into the source).
struct IconBitmapLayout {
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 0;  // 1, 4, 8, 16, 24 or 32
    size_t paletteOffset = 0;
    size_t paletteEntries = 0;  // entries actually present, for depths up to 8
    size_t bitsOffset = 0;
    size_t maskOffset = 0;
    bool hasMask = false;
    bool cursor = false;
};

// Row lengths of the colour bits and of the 1-bit mask, padded to 4 bytes.
size_t IconRowBytes(int32_t width, int32_t depth);

// Converts the colour bits to 32-bit pixels of the host (already width x height) and
// applies the transparency: the alpha bytes of 32-bit images, else the AND mask.
// Sets the host's Alpha and ImageType. False when the data does not fit the source.
bool DecodeIconBitmap(const uint8_t* data, size_t size, const IconBitmapLayout& layout,
                      c32bppDIB& host);

}  // namespace quenda
