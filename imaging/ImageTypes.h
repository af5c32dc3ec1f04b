#pragma once

#include <cstdint>

namespace quenda {

// Kind of source that filled a c32bppDIB (its ImageType).
enum ImageSourceType : int32_t {
    IMAGE_NONE = -1,
    IMAGE_BLANK = 0,
    IMAGE_BITMAP = 1,
    IMAGE_METAFILE = 2,
    IMAGE_ICON = 3,
    IMAGE_ENHMETAFILE = 4,
    IMAGE_CURSOR = 5,
    IMAGE_BITMAP_STRAIGHT_ALPHA = 6,
    IMAGE_BITMAP_PREMULTIPLIED = 7,
    IMAGE_ICON_ALPHA = 8,
    IMAGE_GIF = 9,
    IMAGE_PNG = 10,
    IMAGE_ICON_PNG = 11,
    IMAGE_CURSOR_ALPHA = 12,
    IMAGE_CHECKERBOARD = 64,
    IMAGE_TGA = 128,
};

// Capability flags of a c32bppDIB.
enum CapabilityFlag : uint32_t {
    CAP_ALPHABLEND_FRIENDLY = 0x01,
    CAP_GDIPLUS_ENABLED = 0x02,
    CAP_CAN_ALPHABLEND = 0x08,
    CAP_CAN_ALPHABLEND_RESTRICTED = 0x10,
    CAP_NO_GDIPLUS = 0x20,
    CAP_UNICODE_NAMES = 0x40,
};

// Layout of the bytes exchanged by GetDIBbits and SetDIBbits.
struct DIBbitsLayout {
    bool twoDimensional = false;  // informational: the bytes are row-major either way
    bool blueGreenRed = true;     // false: red, green, blue
    bool bits32 = true;           // false: 3 bytes per pixel
    bool alignedRows = false;     // 24-bit rows padded to a multiple of 4 bytes
    bool bottomUp = true;         // first row delivered is the rectangle's bottom row
};

}  // namespace quenda
