#include "controls/HandCursor.h"

#include <QPixmap>

namespace HandCursor {

QCursor Get() {
    static const QCursor cursor = [] {
        const QPixmap pixmap(":/palvo/HAND");
        return pixmap.isNull() ? QCursor(Qt::PointingHandCursor) : QCursor(pixmap, 5, 0);
    }();
    return cursor;
}

}  // namespace HandCursor
