#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/LoadFailure.h"
#include "codecs/StdPicture.h"

namespace quenda {

// The platform picture loader: Windows bitmaps of every kind and JPEG become an
// opaque bitmap picture. GIF is left to LoadPalettedPicture, which only the GIF
// reader calls with the one-image file it builds. False, `out` empty, when the
// data is none of these or cannot be decoded; for a bitmap, `why` says what failed.
bool LoadStdPicture(const uint8_t* data, size_t size, StdPicture& out, LoadFailure* why = nullptr);

// Decodes a one-image GIF file into its palette indices and colour table.
bool LoadPalettedPicture(const uint8_t* data, size_t size, StdPicture& out);

}  // namespace quenda
