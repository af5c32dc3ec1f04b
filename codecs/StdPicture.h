#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace quenda {

// What the platform picture loader yields: a picture type, a size in pixels and
// the pixels. A bitmap picture carries opaque BGRA pixels, bottom row first, in
// a block ready to become an image buffer; a paletted picture (the decoded GIF)
// carries its palette indices, top row first, and its palette.
struct StdPicture {
    enum Type : int32_t { kNone = 0, kBitmap = 1, kMetafile = 2, kIcon = 3, kEnhMetafile = 4 };

    struct Rgb {
        uint8_t red = 0;
        uint8_t green = 0;
        uint8_t blue = 0;
    };

    int32_t type = kNone;
    int32_t width = 0;
    int32_t height = 0;
    // Bitmap pictures: width x height x 4 bytes (Blue, Green, Red, 255), bottom-up.
    std::unique_ptr<uint8_t[]> bgra;
    // Paletted pictures: width x height indices, top-down, and the palette.
    std::unique_ptr<uint8_t[]> indices;
    std::vector<Rgb> palette;

    bool empty() const { return type == kNone || width <= 0 || height <= 0; }
    size_t pixelCount() const { return static_cast<size_t>(width) * static_cast<size_t>(height); }
    void clear() { *this = StdPicture(); }
};

// Room for width x height pixels of bytesPerPixel bytes, uninitialised; null when
// the size is refused or memory is short.
std::unique_ptr<uint8_t[]> AllocatePixels(int32_t width, int32_t height, size_t bytesPerPixel);

}  // namespace quenda

namespace quenda {

// Draws a paletted picture as opaque BGRA into `bgraBottomUp` (width x height x 4
// bytes, bottom row first). Indices past the palette draw black; pixels of
// transparentIndex (when 0 to 255) are left all zero.
void DrawPalettedPicture(const StdPicture& picture, uint8_t* bgraBottomUp,
                         int32_t transparentIndex = -1);

}  // namespace quenda
