#include "imaging/ColorCompose.h"

#include <cstring>
#include <vector>

#include "imaging/AlphaBlend.h"
#include "imaging/c32bppDIB.h"

namespace quenda {

bool ComposeOverColor(const c32bppDIB& source, c32bppDIB& dest, int32_t color) {
    if (!source.Handle() || !dest.Handle() || source.Width() != dest.Width() ||
        source.Height() != dest.Height()) {
        return false;
    }
    const uint8_t background[4] = {static_cast<uint8_t>(color >> 16),
                                   static_cast<uint8_t>(color >> 8), static_cast<uint8_t>(color),
                                   255};
    // Row by row: the background row is laid down and blended over while it is still
    // in the cache, so memory is read and written once.
    const int32_t width = source.Width();
    std::vector<uint8_t> backgroundRow(static_cast<size_t>(width) * 4);
    for (size_t i = 0; i < backgroundRow.size(); i += 4) {
        std::memcpy(&backgroundRow[i], background, 4);
    }
    const BlendParams params{BlendRule::Platform, 255, source.Alpha()};
    const std::ptrdiff_t scan = source.scanWidth();
    for (int32_t row = 0; row < source.Height(); ++row) {
        uint8_t* d = dest.BitsPointer() + scan * row;
        std::memcpy(d, backgroundRow.data(), backgroundRow.size());
        const PixelView line{source.BitsPointer() + scan * row, width, 1, scan};
        BlendOnto(line, Surface{d, width, 1, scan}, 0, 0, params);
    }
    return true;
}

}  // namespace quenda
