#pragma once

#include <cstdint>

#include "imaging/PixelView.h"

namespace quenda {

// The part of a target grid that is actually produced: columns [x, x + width) and
// rows [y, y + height) of a targetWidth x targetHeight resampling of the source.
// Only the window is computed, so a huge target costs no more than its visible part.
struct TargetWindow {
    int64_t targetWidth = 0;
    int64_t targetHeight = 0;
    int64_t x = 0;
    int64_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// Copies the view into a buffer, mirrored along the axes asked for.
bool MirrorPixels(const PixelView& source, bool horizontal, bool vertical, PixelBuffer& out);

// Nearest neighbour, sampling at pixel centres.
bool ScaleNearest(const PixelView& source, const TargetWindow& window, PixelBuffer& out);

// The library's own bilinear resampling: corner-aligned source positions
// (x * srcWidth / targetWidth), the four neighbours weighted by (1 - |dx|) (1 - |dy|),
// each channel truncated to a byte. A neighbour past the last column or row is the
// edge pixel itself.
bool ScaleBilinear(const PixelView& source, const TargetWindow& window, PixelBuffer& out);

// High-quality bicubic (Keys, a = -0.5), widened to a low-pass filter when reducing.
// Large reductions first average whole blocks so the cost stays near one pass over
// the source. Results stay premultiplied (colour never above alpha).
bool ScaleBicubic(const PixelView& source, const TargetWindow& window, PixelBuffer& out);

// Averages blocks of factorX x factorY pixels (partial blocks at the edges average
// what they hold).
bool BoxReduce(const PixelView& source, int32_t factorX, int32_t factorY, PixelBuffer& out);

}  // namespace quenda
