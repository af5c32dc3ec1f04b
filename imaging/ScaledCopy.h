#pragma once

#include <cstdint>

namespace quenda {

class c32bppDIB;

// Replaces the pixels of dest (already |width| x |height|) with the whole of source
// drawn scaled, never with the platform blend: through the imaging stand-in when
// throughGdiPlus, else the own path (mirroring first for negative sizes, then the
// own bilinear resampling).
bool DrawScaledCopy(const c32bppDIB& source, c32bppDIB& dest, int32_t width, int32_t height,
                    bool throughGdiPlus);

}  // namespace quenda
