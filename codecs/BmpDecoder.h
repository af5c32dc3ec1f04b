#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/StdPicture.h"
#include "imaging/Failure.h"

namespace quenda::bmp {

// How the decoder may work. 24-bit rows use vector instructions where the processor has
// them; portableRows makes them take the portable path, so that tests cover both.
struct BmpDecodeOptions {
    bool portableRows = false;
};

// Decodes a Windows bitmap of any kind (1, 2, 4, 8, 16, 24 or 32 bits; RLE4, RLE8;
// bit fields; core, info, V4, V5 and OS/2 headers; top-down rows) into an opaque
// bitmap picture. Bit fields and alpha are read as colour only: the picture is
// opaque. False, with `out` empty and the reason in `why`, for anything malformed or
// truncated.
bool DecodeBmp(const uint8_t* data, size_t size, StdPicture& out, Failure* why = nullptr,
               const BmpDecodeOptions& options = {});

}  // namespace quenda::bmp
