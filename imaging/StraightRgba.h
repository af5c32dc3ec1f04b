#pragma once

#include <cstddef>
#include <cstdint>

namespace quenda {

class c32bppDIB;

// Rows of straight (not premultiplied) red, green, blue, alpha bytes, top row first: the
// pixel form of GIMP's and GdkPixbuf's 8-bit buffers. Conversions use the engine's own
// rounding, so pixels match what its readers make and its writers take.

// Writes rows y0 .. y0 + rows - 1 of the image into `out`, `stride` bytes apart. False
// when the rows are not all inside the image.
bool CopyRowsToStraightRgba(const c32bppDIB& image, int32_t y0, int32_t rows, uint8_t* out,
                            size_t stride);

// Stores one row of straight RGBA pixels (the image's width of them) as picture row y.
// False when y is outside the image.
bool StoreStraightRgbaRow(const uint8_t* rgba, int32_t y, c32bppDIB& image);

}  // namespace quenda
