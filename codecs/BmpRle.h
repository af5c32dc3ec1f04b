#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/BmpHeader.h"

namespace quenda::bmp {

// Expands the RLE8 or RLE4 stream of a bottom-up bitmap into `pixels` (opaque
// BGRA, bottom row first). Pixels the stream never sets are opaque black; runs
// past the right edge are cut there and anything past the top row is ignored, so
// no stream can write outside the image. A stream that ends early leaves the rest
// unset.
bool DecodeRle(const uint8_t* data, size_t size, const BmpInfo& info, uint8_t* pixels);

}  // namespace quenda::bmp
