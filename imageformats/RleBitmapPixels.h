#pragma once

#include <QImage>

namespace quenda {
class c32bppDIB;
}

// From QImage to the engine's premultiplied bottom-up buffer, with the engine's own
// rounding so that pixels match what its writers produce.

// The buffer the engine's readers would make of these pixels: premultiplied, with
// alpha when the image has an alpha channel. False when out of memory.
bool FromQImage(const QImage& source, quenda::c32bppDIB& image);
