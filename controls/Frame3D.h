#pragma once

#include <QPainter>
#include <QRect>

// The window system's sunken 3D control edge, two pixels wide.
namespace Frame3D {

constexpr int kWidth = 2;

void DrawSunken(QPainter& painter, const QRect& outer);

}  // namespace Frame3D
