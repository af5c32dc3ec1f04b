#include "codecs/StdPicture.h"

#include <cstring>
#include <new>

#include "imaging/ImageLimits.h"

namespace quenda {

std::unique_ptr<uint8_t[]> AllocatePixels(int32_t width, int32_t height, size_t bytesPerPixel) {
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    const uint64_t pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    if (pixels > kMaxImagePixels) {
        return nullptr;
    }
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[pixels * bytesPerPixel]);
}

}  // namespace quenda

namespace quenda {

void DrawPalettedPicture(const StdPicture& picture, uint8_t* bgraBottomUp,
                         int32_t transparentIndex) {
    uint8_t lookup[256][4] = {};
    for (size_t i = 0; i < 256; ++i) {
        if (i < picture.palette.size()) {
            lookup[i][0] = picture.palette[i].blue;
            lookup[i][1] = picture.palette[i].green;
            lookup[i][2] = picture.palette[i].red;
        }
        lookup[i][3] = 255;
    }
    if (transparentIndex >= 0 && transparentIndex < 256) {
        std::memset(lookup[transparentIndex], 0, 4);
    }
    const size_t width = static_cast<size_t>(picture.width);
    for (int32_t y = 0; y < picture.height; ++y) {
        const uint8_t* src = picture.indices.get() + width * y;
        uint8_t* dst = bgraBottomUp + width * 4 * (picture.height - 1 - y);
        for (size_t x = 0; x < width; ++x) {
            std::memcpy(dst + 4 * x, lookup[src[x]], 4);
        }
    }
}

}  // namespace quenda
