#include "app/DropOpener.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace zorix {

DropOpener::DropOpener(QWidget* window, std::function<bool(const QString&)> open)
    : QObject(window), open_(std::move(open)) {
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

QString DropOpener::DroppedPath(const QMimeData* data) {
    if (!data || !data->hasUrls()) {
        return QString();
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty()) {
            return url.toLocalFile();
        }
    }
    return QString();
}

bool DropOpener::eventFilter(QObject* /*watched*/, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (DroppedPath(drag->mimeData()).isEmpty()) {
                return false;
            }
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString path = DroppedPath(drop->mimeData());
            if (path.isEmpty()) {
                return false;
            }
            drop->acceptProposedAction();
            open_(path);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace zorix
