#pragma once

#include <QStringList>
#include <QTreeWidget>

namespace zorix {

// A list view that takes files and folders dropped from a file manager and hands
// their local paths on, in the order dropped.
class FileDropList : public QTreeWidget {
    Q_OBJECT
  public:
    explicit FileDropList(QWidget* parent = nullptr);

  signals:
    void pathsDropped(const QStringList& paths);

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

// The local file paths of dropped data, in order.
QStringList DroppedPaths(const QMimeData* data);

}  // namespace zorix
