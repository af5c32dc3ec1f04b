#include "imageformats/RleBitmapPixels.h"

#include <cstring>
#include <vector>

#include "imaging/PixelMath.h"
#include "imaging/c32bppDIB.h"

QImage ToQImage(const quenda::c32bppDIB& image) {
    quenda::DIBbitsLayout layout;
    layout.bottomUp = false;
    std::vector<uint8_t> bytes;
    if (!image.GetDIBbits(bytes, layout, 0, 0, 0, 0, false)) {
        return {};
    }
    const QImage::Format format = image.Alpha() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    QImage out(image.Width(), image.Height(), format);
    if (out.isNull()) {
        return {};
    }
    const size_t rowBytes = static_cast<size_t>(image.scanWidth());
    for (int y = 0; y < out.height(); ++y) {
        uchar* row = out.scanLine(y);
        std::memcpy(row, bytes.data() + rowBytes * static_cast<size_t>(y), rowBytes);
        if (!image.Alpha()) {
            for (size_t i = 3; i < rowBytes; i += 4) {
                row[i] = 255;
            }
        }
    }
    return out;
}

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
