#include "app/PreviewImage.h"

#include "engine/ZorixImgEngine.h"
#include "imaging/ColorWord.h"
#include "imaging/c32bppDIB.h"

namespace zorix {

QImage OpaqueRowsToImage(const uint8_t* bits, int width, int height) {
    if (!bits || width <= 0 || height <= 0) {
        return QImage();
    }
    // The engine composed the picture over its background: only the colour bytes count.
    QImage picture(width, height, QImage::Format_RGB32);
    if (picture.isNull()) {
        return picture;
    }
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
        // Rows are stored bottom-up.
        const uint8_t* src = bits + static_cast<size_t>(height - 1 - y) * rowBytes;
        auto* dst = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x, src += 4) {
            dst[x] = qRgb(src[2], src[1], src[0]);
        }
    }
    return picture;
}

QImage EnginePicture(const quenda::ZorixImgEngine& engine) {
    const std::unique_ptr<quenda::c32bppDIB> picture = engine.Picture();
    if (!picture || picture->Handle() == 0) {
        return QImage();
    }
    return OpaqueRowsToImage(picture->BitsPointer(), picture->Width(), picture->Height());
}

QColor ColorOfWord(int32_t color) {
    const quenda::ColorChannels c = quenda::ChannelsOf(static_cast<uint32_t>(color));
    return QColor(c.red, c.green, c.blue);
}

}  // namespace zorix
