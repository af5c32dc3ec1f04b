#pragma once

#include <QPainter>
#include <QtGlobal>

// A rectangle from (x1, y1) up to but not including (x2, y2): a one-pixel outline in
// the outline colour around a solid fill of the fill colour. The painter's pen and
// brush are restored afterwards.
void drawApiRect(QPainter& painter, int x1, int y1, int x2, int y2, quint32 outlineColor,
                 quint32 fillColor);
