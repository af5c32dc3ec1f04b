#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/LoadFailure.h"
#include "codecs/StdPicture.h"

namespace quenda::bmp {

// Decodes a Windows bitmap of any kind (1, 2, 4, 8, 16, 24 or 32 bits; RLE4, RLE8;
// bit fields; core, info, V4, V5 and OS/2 headers; top-down rows) into an opaque
// bitmap picture. Bit fields and alpha are read as colour only: the picture is
// opaque. False, with `out` empty and the reason in `why`, for anything malformed or
// truncated.
bool DecodeBmp(const uint8_t* data, size_t size, StdPicture& out, LoadFailure* why = nullptr);

// 24-bit rows use vector instructions where the processor has them; the switch makes
// them take the portable path, so that tests cover both.
void SetVectorRowsDisabledForTesting(bool disabled);

}  // namespace quenda::bmp
