#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/StdPicture.h"

namespace quenda::gif {

// Decodes the first image of a GIF file into a paletted picture: its palette
// indices at the image's own size (interlaced images put in order) and the
// colour table that image uses. False, `out` empty, on any error, including
// damaged LZW data.
bool DecodeGifIndices(const uint8_t* data, size_t size, StdPicture& out);

}  // namespace quenda::gif
