#pragma once

#include <cstdint>

namespace quenda {

class c32bppDIB;

// Writes `source` composed over an opaque colour (0x00BBGGRR) into `dest`, which has
// the same size: exactly the bytes that filling dest with the colour and drawing
// source onto it with the platform blend at full opacity give, in one pass.
bool ComposeOverColor(const c32bppDIB& source, c32bppDIB& dest, int32_t color);

}  // namespace quenda
