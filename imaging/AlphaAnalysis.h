#pragma once

#include <cstddef>
#include <cstdint>

namespace quenda {

class c32bppDIB;

enum class AlphaMode {
    Analyze,      // decide from the alpha bytes
    TakeAsOpaque  // the source has no alpha
};

enum class AlphaKind { None, Straight, Premultiplied };

// Reads BGRA pixels in memory order and decides what their alpha bytes mean.
AlphaKind ClassifyAlpha(const uint8_t* pixels, size_t pixelCount);

// The step every reader ends with: classifies the filled buffer, sets its Alpha
// and ImageType (1, 6 or 7) and, with premultiply, makes the pixels premultiplied
// (opaque when there is no alpha).
void ApplyAlphaAnalysis(c32bppDIB& image, bool premultiply, AlphaMode mode);

}  // namespace quenda
