#include "app/FileDropList.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace zorix {

QStringList DroppedPaths(const QMimeData* data) {
    QStringList paths;
    if (data == nullptr || !data->hasUrls()) {
        return paths;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            paths << url.toLocalFile();
        }
    }
    return paths;
}

FileDropList::FileDropList(QWidget* parent) : QTreeWidget(parent) {
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
}

// An entering drag is judged as a move over the list.
void FileDropList::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void FileDropList::dragMoveEvent(QDragMoveEvent* event) {
    if (DroppedPaths(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void FileDropList::dropEvent(QDropEvent* event) {
    const QStringList paths = DroppedPaths(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit pathsDropped(paths);
}

}  // namespace zorix
