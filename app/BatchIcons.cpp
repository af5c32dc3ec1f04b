#include "app/BatchIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace zorix {

namespace {

constexpr int kSize = 16;

QPixmap Blank() {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPen Stroke(const QColor& color) {
    return QPen(color, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPixmap OkPicture() {
    QPixmap pixmap = Blank();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Stroke(QColor(0x1E, 0x90, 0x2A)));
    QPainterPath tick;
    tick.moveTo(3, 8.5);
    tick.lineTo(6.5, 12);
    tick.lineTo(13, 4);
    painter.drawPath(tick);
    return pixmap;
}

QPixmap CrossPicture() {
    QPixmap pixmap = Blank();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Stroke(QColor(0xC8, 0x1E, 0x1E)));
    painter.drawLine(QPointF(4, 4), QPointF(12, 12));
    painter.drawLine(QPointF(12, 4), QPointF(4, 12));
    return pixmap;
}

QPixmap SkipPicture() {
    QPixmap pixmap = Blank();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Stroke(QColor(0x70, 0x70, 0x70)));
    painter.drawLine(QPointF(3, 8), QPointF(12, 8));
    painter.drawLine(QPointF(9, 5), QPointF(12, 8));
    painter.drawLine(QPointF(9, 11), QPointF(12, 8));
    return pixmap;
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
