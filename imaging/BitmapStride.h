#pragma once

#include <cstdint>

namespace quenda {

// Bytes in one stored row of a device-independent bitmap: rows are padded to whole
// 32-bit words. Wide enough that no 32-bit width and depth can overflow it.
constexpr uint64_t BitmapRowLength(uint64_t width, uint32_t bitsPerPixel) {
    return (width * bitsPerPixel + 31) / 32 * 4;
}

}  // namespace quenda
