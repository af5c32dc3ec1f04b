#include "controls/drawApiRect.h"

#include "controls/colorFuncs.h"

void drawApiRect(QPainter& painter, int x1, int y1, int x2, int y2, quint32 outlineColor,
                 quint32 fillColor) {
    if (x2 <= x1 || y2 <= y1) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(x1, y1, x2 - x1, y2 - y1, colorFuncs::ToQColor(fillColor));
    painter.setPen(colorFuncs::ToQColor(outlineColor));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1);
    painter.restore();
}
