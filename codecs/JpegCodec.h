#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "codecs/StdPicture.h"

namespace quenda::jpeg {

// True when the data starts like a JPEG stream (start-of-image marker).
bool LooksLikeJpeg(const uint8_t* data, size_t size);

// Decodes a JPEG into an opaque bitmap picture. False, `out` empty, on any error.
bool DecodeJpeg(const uint8_t* data, size_t size, StdPicture& out);

// Encodes opaque BGRA pixels (bottom row first, rows of width x 4 bytes) as a
// JFIF file. The alpha bytes are ignored.
bool EncodeJpeg(const uint8_t* bgraBottomUp, int32_t width, int32_t height, int quality,
                std::vector<uint8_t>& out);

}  // namespace quenda::jpeg
