#include "imaging/ColorCompose.h"

#include <array>
#include <cstring>
#include <vector>

#include "imaging/AlphaBlend.h"
#include "imaging/ColorWord.h"
#include "imaging/c32bppDIB.h"

namespace quenda {

bool ComposeOverColor(const c32bppDIB& source, uint8_t* out, int32_t color) {
    if (!source.Handle() || out == nullptr) {
        return false;
    }
    const std::array<uint8_t, 4> background = OpaquePixelOf(static_cast<uint32_t>(color));
    const int32_t width = source.Width();
    const size_t rowBytes = static_cast<size_t>(source.scanWidth());
    // One background row, read from the cache for every row of the image.
    std::vector<uint8_t> backgroundRow(rowBytes);
    for (size_t i = 0; i < rowBytes; i += 4) {
        std::memcpy(&backgroundRow[i], background.data(), 4);
    }
    const BlendParams params{BlendRule::Platform, 255, true};
    for (int32_t row = 0; row < source.Height(); ++row) {
        const uint8_t* s = source.BitsPointer() + rowBytes * row;
        uint8_t* d = out + rowBytes * row;
        if (source.Alpha()) {
            BlendRowOver(s, backgroundRow.data(), d, width, params);
            continue;
        }
        // Without alpha the image is drawn as opaque: its colours with alpha 255.
        for (int32_t x = 0; x < width; ++x) {
            std::memcpy(d + x * 4, s + x * 4, 3);
            d[x * 4 + 3] = 255;
        }
    }
    return true;
}

}  // namespace quenda
