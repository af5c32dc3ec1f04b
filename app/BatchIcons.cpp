#include "app/BatchIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace zorix {

namespace {

constexpr int kSize = 16;

// A 16 x 16 picture of strokes in one colour.
template <typename Strokes>
QPixmap Drawn(const QColor& color, Strokes strokes) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    strokes(painter);
    return pixmap;
}

QPixmap OkPicture() {
    return Drawn(QColor(0x1E, 0x90, 0x2A), [](QPainter& painter) {
        QPainterPath tick;
        tick.moveTo(3, 8.5);
        tick.lineTo(6.5, 12);
        tick.lineTo(13, 4);
        painter.drawPath(tick);
    });
}

QPixmap CrossPicture() {
    return Drawn(QColor(0xC8, 0x1E, 0x1E), [](QPainter& painter) {
        painter.drawLine(QPointF(4, 4), QPointF(12, 12));
        painter.drawLine(QPointF(12, 4), QPointF(4, 12));
    });
}

QPixmap SkipPicture() {
    return Drawn(QColor(0x70, 0x70, 0x70), [](QPainter& painter) {
        painter.drawLine(QPointF(3, 8), QPointF(12, 8));
        painter.drawLine(QPointF(9, 5), QPointF(12, 8));
        painter.drawLine(QPointF(9, 11), QPointF(12, 8));
    });
}

}  // namespace

QIcon BatchIcon(const QString& name) {
    if (name == QLatin1String("ok")) {
        static const QIcon ok(OkPicture());
        return ok;
    }
    if (name == QLatin1String("x")) {
        static const QIcon cross(CrossPicture());
        return cross;
    }
    if (name == QLatin1String("skip")) {
        static const QIcon skip(SkipPicture());
        return skip;
    }
    return QIcon();
}

}  // namespace zorix
