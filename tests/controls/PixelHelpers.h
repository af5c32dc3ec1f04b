#pragma once

#include "support/HoverChecks.h"

#include <QImage>
#include <cstdlib>

#include "controls/colorFuncs.h"

// A pixel of a rendered control as a 0x00BBGGRR word.
inline quint32 PixelOf(const QImage& image, int x, int y) {
    return colorFuncs::FromQColor(QColor::fromRgb(image.pixel(x, y)));
}

// True when every channel of the two colours differs by at most tolerance.
inline bool Near(quint32 a, quint32 b, int tolerance) {
    for (int shift = 0; shift <= 16; shift += 8) {
        const int ca = static_cast<int>((a >> shift) & 0xFF);
        const int cb = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(ca - cb) > tolerance) {
            return false;
        }
    }
    return true;
}
