#pragma once

#include <cstddef>
#include <cstdint>

namespace quenda {

// A view of a premultiplied BGRA raster that drawing code writes into. Rows are
// addressed top to bottom; a bottom-up raster has a negative stride.
struct Surface {
    uint8_t* bits = nullptr;  // first byte of the top row
    int32_t width = 0;
    int32_t height = 0;
    std::ptrdiff_t stride = 0;  // bytes from one row to the next one below it

    bool isValid() const { return bits != nullptr && width > 0 && height > 0; }
    uint8_t* row(int32_t y) const { return bits + static_cast<std::ptrdiff_t>(y) * stride; }
};

}  // namespace quenda
