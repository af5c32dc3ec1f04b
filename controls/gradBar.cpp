#include "controls/gradBar.h"

#include "controls/colorFuncs.h"

namespace gradBar {

quint32 LineColor(quint32 startColor, quint32 endColor, int line, int extent) {
    const int span = extent > 0 ? extent : 1;
    return colorFuncs::Blend(colorFuncs::TranslateColor(startColor),
                             colorFuncs::TranslateColor(endColor),
                             static_cast<double>(line) / span);
}

void Draw(QPainter& painter, int x, int y, int width, int height, quint32 startColor,
          quint32 endColor, int direction) {
    if (width <= 0 || height <= 0) {
        return;
    }
    const bool vertical = direction == kTopToBottom;
    const int extent = vertical ? height : width;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < extent; ++i) {
        const QColor c = colorFuncs::ToQColor(LineColor(startColor, endColor, i, extent));
        if (vertical) {
            painter.fillRect(x, y + i, width, 1, c);
        } else {
            painter.fillRect(x + i, y, 1, height, c);
        }
    }
    painter.restore();
}

}  // namespace gradBar
