#include "app/PreviewImage.h"

#include "engine/ZorixImgEngine.h"
#include "imaging/c32bppDIB.h"

namespace zorix {

namespace {

uint8_t Over(uint8_t premultiplied, uint8_t alpha, uint8_t background) {
    // Clamped: a colour above its alpha is not valid premultiplied data.
    const int value = premultiplied + (background * (255 - alpha) + 127) / 255;
    return static_cast<uint8_t>(value > 255 ? 255 : value);
}

}  // namespace

QImage ComposeOver(const uint8_t* bits, int width, int height, int32_t bgColor) {
    if (!bits || width <= 0 || height <= 0) {
        return QImage();
    }
    QImage picture(width, height, QImage::Format_RGB32);
    if (picture.isNull()) {
        return picture;
    }
    const uint8_t bgRed = bgColor & 0xFF;
    const uint8_t bgGreen = (bgColor >> 8) & 0xFF;
    const uint8_t bgBlue = (bgColor >> 16) & 0xFF;
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
        // Rows are stored bottom-up.
        const uint8_t* src = bits + static_cast<size_t>(height - 1 - y) * rowBytes;
        auto* dst = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x, src += 4) {
            const uint8_t alpha = src[3];
            dst[x] = qRgb(Over(src[2], alpha, bgRed), Over(src[1], alpha, bgGreen),
                          Over(src[0], alpha, bgBlue));
        }
    }
    return picture;
}

QImage EnginePicture(const quenda::ZorixImgEngine& engine) {
    // The engine's picture is already composed over its background colour.
    const std::unique_ptr<quenda::c32bppDIB> picture = engine.Picture();
    if (!picture || picture->Handle() == 0) {
        return QImage();
    }
    return ComposeOver(picture->BitsPointer(), picture->Width(), picture->Height(),
                       engine.ImageBgColor());
}

}  // namespace zorix
