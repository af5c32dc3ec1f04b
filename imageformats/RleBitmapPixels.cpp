#include "imageformats/RleBitmapPixels.h"

#include <cstring>

#include "imaging/PixelMath.h"
#include "imaging/c32bppDIB.h"

bool FromQImage(const QImage& source, quenda::c32bppDIB& image) {
    const QImage argb = source.convertToFormat(QImage::Format_ARGB32);
    if (argb.isNull() || !image.InitializeDIB(argb.width(), argb.height())) {
        return false;
    }
    const size_t rowBytes = static_cast<size_t>(image.scanWidth());
    for (int y = 0; y < argb.height(); ++y) {
        // Buffer rows are bottom-up.
        uint8_t* row = image.BitsPointer() + rowBytes * static_cast<size_t>(argb.height() - 1 - y);
        std::memcpy(row, argb.constScanLine(y), rowBytes);
        for (size_t i = 0; i < rowBytes; i += 4) {
            quenda::PremultiplyPixel(row + i);
        }
    }
    image.setAlpha(source.hasAlphaChannel());
    return true;
}
