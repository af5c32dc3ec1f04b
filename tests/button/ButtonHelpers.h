#pragma once

#include "support/HoverChecks.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QWidget>

#include "button/VkButton.h"
#include "controls/colorFuncs.h"

inline quint32 PixelOf(const QImage& image, int x, int y) {
    return colorFuncs::FromQColor(QColor::fromRgb(image.pixel(x, y)));
}

inline int CountColour(const QImage& image, quint32 colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += PixelOf(image, x, y) == colour ? 1 : 0;
        }
    }
    return n;
}

// A bare face: no border, no light strip, no caption, so face pixels can be sampled.
inline void MakeBare(VkButton& b, int w, int h) {
    b.SetCaption("");
    b.SetBorderStyle(VkButton::bsNone);
    b.SetLightEffect(false);
    b.resize(w, h);
}
