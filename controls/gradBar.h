#pragma once

#include <QPainter>
#include <QtGlobal>

// The gradient rectangle: one line per pixel row (direction 1, top to bottom) or per
// pixel column (direction 0, left to right), each channel interpolated linearly from the
// start colour to the end colour over the rectangle's extent (a zero extent counts as 1).
// Colours are 0x00BBGGRR words; system colour values are translated.
namespace gradBar {

constexpr int kLeftToRight = 0;
constexpr int kTopToBottom = 1;

void Draw(QPainter& painter, int x, int y, int width, int height, quint32 startColor,
          quint32 endColor, int direction);

// The colour of line i (0-based) of a gradient of the given extent.
quint32 LineColor(quint32 startColor, quint32 endColor, int line, int extent);

}  // namespace gradBar
