#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "imaging/Failure.h"

namespace quenda {

namespace rle {
struct ParsedFile;
}

// Decoding a device bitmap straight into a raster the caller owns, at the picture's
// own size or scaled to any other, without ever holding the whole picture: what a
// thumbnailer or an image plug-in needs to keep its memory bounded by the size it asks
// for. The caller reads the size from the header (ReadRLEInfo), makes its raster, and
// decodes into it.
//
// Scaling is a box filter on premultiplied pixels: target pixel (X, Y) of a W' x H'
// target from a W x H picture is the rounded mean of the picture's pixels in columns
// floor(X*W/W') up to floor((X+1)*W/W') and rows floor(Y*H/H') up to floor((Y+1)*H/H')
// (end excluded; a box that would be empty when enlarging holds its first pixel).
// At the picture's own size every pixel is exactly the full decoder's.

// Byte order of the target's pixels.
enum class RLEPixelOrder {
    PremultipliedBGRA,  // as the engine's c32bppDIB stores them (QImage ARGB32_Premultiplied)
    StraightBGRA,       // un-premultiplied as the engine's writers do (QImage ARGB32)
    StraightRGBA,       // the same in red, green, blue, alpha order (GdkPixbuf, GIMP)
};

// The caller's raster. Rows are `stride` bytes apart (a negative stride for bottom-up
// storage), each `width` pixels of 4 bytes; `top` points at the top row.
struct RLETarget {
    uint8_t* top = nullptr;
    ptrdiff_t stride = 0;
    int32_t width = 0;
    int32_t height = 0;
    RLEPixelOrder order = RLEPixelOrder::PremultipliedBGRA;
    // Every alpha 255, for hosts that keep pictures without alpha in opaque formats:
    // columns no row token reaches, transparent in the picture, come out black.
    bool opaque = false;
};

// What the 14-byte header tells.
struct RLEImageInfo {
    int32_t width = 0;
    int32_t height = 0;
    bool hasAlpha = false;
    int32_t colorCount = 0;  // N - 1
};

// True when `header` starts with a device bitmap header whose picture has a size.
bool ReadRLEInfo(std::span<const uint8_t> header, RLEImageInfo& info);

struct RLEScaledResult {
    bool success = false;
    Failure failure;  // none on success
};

// Decodes a whole file in memory into `target` (every target pixel is written).
// Never throws; on failure the target holds a partial picture.
RLEScaledResult DecodeRLEScaled(std::span<const uint8_t> file, const RLETarget& target);

// For readers that fetch the row data a row at a time: `prologue` is what
// rle::ParsePrologue read, and `row(y, bytes)` is called for y = 0, 1, ... up to the
// picture's height - 1, once each, and gives row y's rowLengths[y] bytes (valid until
// the next call), or returns false when they cannot be had.
using RLERowSource = std::function<bool(int32_t y, std::span<const uint8_t>& bytes)>;
RLEScaledResult DecodeRLERows(const rle::ParsedFile& prologue, const RLERowSource& row,
                              const RLETarget& target);

}  // namespace quenda
