#pragma once

#include <cstdint>

namespace quenda {

class c32bppDIB;

// Writes `source` composed over an opaque colour (0x00BBGGRR) into `out`, a block of
// the source's size (rows bottom-up): exactly the bytes that filling an image with
// the colour and drawing source onto it with the platform blend at full opacity
// give, in one pass.
bool ComposeOverColor(const c32bppDIB& source, uint8_t* out, int32_t color);

}  // namespace quenda
