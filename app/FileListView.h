#pragma once

#include <QTreeWidget>

#include "app/FileListRules.h"

namespace zorix {

// The explorer's file list: one row per listed file with its name, size and time,
// columns as wide as their content, sorted by the column whose header was clicked
// (by name, ignoring case, at first). A click on the row that is already selected
// is reported, so that the shown file can be loaded again.
class FileListView : public QTreeWidget {
    Q_OBJECT
  public:
    // Roles of an item's key (its full path) and tag (its upper-case extension).
    static constexpr int kKeyRole = Qt::UserRole;
    static constexpr int kTagRole = Qt::UserRole + 1;

    explicit FileListView(QWidget* parent);

    // Replaces the rows with `entries`, in the current sort order.
    void Fill(const QVector<FileListEntry>& entries);
    // The key of the selected row, or "" without one.
    QString SelectedKey() const;
    // Selects the row of `key` without raising the selection signals; false when
    // no row has that key.
    bool SelectQuietly(const QString& key);

  signals:
    // The selected row was clicked again.
    void selectedItemClicked(QTreeWidgetItem* item);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void FitColumns();

    QTreeWidgetItem* pressedSelected_ = nullptr;
};

}  // namespace zorix
