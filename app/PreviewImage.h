#pragma once

#include <QColor>
#include <QImage>
#include <cstdint>

namespace quenda {
class ZorixImgEngine;
}

namespace zorix {

// The engine's Picture (the image already composed over its background colour),
// as the preview shows it; a null image when nothing is loaded.
QImage EnginePicture(const quenda::ZorixImgEngine& engine);

// Opaque, bottom-up BGRA rows as a top-down image; they are taken as they are.
QImage OpaqueRowsToImage(const uint8_t* bits, int width, int height);

// A colour word 0x00BBGGRR as a Qt colour.
QColor ColorOfWord(int32_t color);

}  // namespace zorix
