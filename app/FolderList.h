#pragma once

#include <QListWidget>

namespace zorix {

// The folder list: the current folder with the folders above it and the folders
// inside it. Activating an entry (double click, Enter) makes it current.
class FolderList : public QListWidget {
    Q_OBJECT
  public:
    explicit FolderList(QWidget* parent);

    QString Path() const { return path_; }
    // Makes `folder` current; false (nothing changes) when it cannot be listed.
    bool setPath(const QString& folder);

  signals:
    void pathChanged(const QString& path);

  private:
    void Rebuild();
    void AddEntry(const QString& text, const QString& path, int depth, bool open);

    QString path_;
};

}  // namespace zorix
