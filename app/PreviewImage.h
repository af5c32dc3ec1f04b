#pragma once

#include <QImage>
#include <cstdint>

namespace quenda {
class ZorixImgEngine;
}

namespace zorix {

// The engine's Picture (the image composed over its background colour),
// as the preview shows it; a null image when nothing is loaded.
QImage EnginePicture(const quenda::ZorixImgEngine& engine);

// Composes premultiplied, bottom-up BGRA rows over an opaque colour.
QImage ComposeOver(const uint8_t* bits, int width, int height, int32_t bgColor);

}  // namespace zorix
