#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quenda {

// Read-only view of premultiplied BGRA rows, addressed top to bottom.
struct PixelView {
    const uint8_t* bits = nullptr;  // first byte of the top row
    int32_t width = 0;
    int32_t height = 0;
    std::ptrdiff_t stride = 0;  // bytes from one row to the next one below it

    bool isValid() const { return bits != nullptr && width > 0 && height > 0; }
    const uint8_t* row(int32_t y) const { return bits + static_cast<std::ptrdiff_t>(y) * stride; }
    const uint8_t* pixel(int32_t x, int32_t y) const { return row(y) + static_cast<size_t>(x) * 4; }
    // The part of this view starting at (x, y); the caller keeps it inside.
    PixelView sub(int32_t x, int32_t y, int32_t w, int32_t h) const {
        return PixelView{pixel(x, y), w, h, stride};
    }
};

// Owned BGRA pixels, top row first, rows of width x 4 bytes.
struct PixelBuffer {
    std::vector<uint8_t> bytes;
    int32_t width = 0;
    int32_t height = 0;

    bool allocate(int32_t w, int32_t h);
    uint8_t* row(int32_t y) { return bytes.data() + static_cast<size_t>(y) * width * 4; }
    PixelView view() const {
        return PixelView{bytes.data(), width, height, static_cast<std::ptrdiff_t>(width) * 4};
    }
};

}  // namespace quenda
