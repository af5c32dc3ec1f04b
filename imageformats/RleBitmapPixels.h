#pragma once

#include <QImage>

namespace quenda {
class c32bppDIB;
}

// Conversions between the engine's premultiplied bottom-up buffer and QImage, with
// the engine's own rounding so that pixels match what its writers produce.

// Straight-alpha ARGB32 (RGB32 when the buffer has no alpha); a null image on failure.
QImage ToQImage(const quenda::c32bppDIB& image);

// The buffer the engine's readers would make of these pixels: premultiplied, with
// alpha when the image has an alpha channel. False when out of memory.
bool FromQImage(const QImage& source, quenda::c32bppDIB& image);
