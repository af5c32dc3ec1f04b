#include "imaging/StraightRgba.h"

#include <cstring>
#include <vector>

#include "imaging/PixelMath.h"
#include "imaging/c32bppDIB.h"

namespace quenda {

bool CopyRowsToStraightRgba(const c32bppDIB& image, int32_t y0, int32_t rows, uint8_t* out,
                            size_t stride) {
    if (y0 < 0 || rows <= 0 || rows > image.Height() - y0) {
        return false;
    }
    DIBbitsLayout layout;
    layout.blueGreenRed = false;
    layout.bottomUp = false;
    std::vector<uint8_t> bytes;
    if (!image.GetDIBbits(bytes, layout, 0, y0, image.Width(), rows, false)) {
        return false;
    }
    const size_t rowBytes = static_cast<size_t>(image.scanWidth());
    for (int32_t r = 0; r < rows; ++r) {
        std::memcpy(out + stride * static_cast<size_t>(r), bytes.data() + rowBytes * r, rowBytes);
    }
    return true;
}

bool StoreStraightRgbaRow(const uint8_t* rgba, int32_t y, c32bppDIB& image) {
    if (y < 0 || y >= image.Height() || image.BitsPointer() == nullptr) {
        return false;
    }
    uint8_t* row = image.BitsPointer() + image.PixelOffset(0, y);
    for (int32_t x = 0; x < image.Width(); ++x, rgba += 4, row += 4) {
        row[0] = rgba[2];
        row[1] = rgba[1];
        row[2] = rgba[0];
        row[3] = rgba[3];
        PremultiplyPixel(row);
    }
    return true;
}

}  // namespace quenda
