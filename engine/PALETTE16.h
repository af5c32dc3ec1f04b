#pragma once

#include <cstdint>

namespace quenda {

// One entry of the device's 16-bit palette: an RGB565 colour and a 33-level opacity.
// Four bytes in memory (colour low byte, colour high byte, alpha, a zero filler), the
// layout cMemPalette searches.
struct PALETTE16 {
    int16_t pColor = 0;  // RGB565; values of 0x8000 and above read negative
    uint8_t pAlpha = 0;  // 0 (transparent) .. 32 (opaque)
    uint8_t filler = 0;  // always 0, so equal entries are equal byte strings

    friend bool operator==(const PALETTE16& a, const PALETTE16& b) {
        return a.pColor == b.pColor && a.pAlpha == b.pAlpha;
    }
};

static_assert(sizeof(PALETTE16) == 4, "PALETTE16 is searched as 4-byte records");

}  // namespace quenda
