#include "app/FileListView.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace zorix {

namespace {

// A row that sorts by the values behind its texts.
class FileListItem : public QTreeWidgetItem {
  public:
    FileListItem(QTreeWidget* parent, const FileListEntry& entry)
        : QTreeWidgetItem(parent, {entry.name, entry.sizeText, entry.timeText}), entry_(entry) {
        setData(0, FileListView::kKeyRole, entry.path);
        setData(0, FileListView::kTagRole, entry.extension);
        setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        for (int column = 0; column < 3; ++column) {
            setToolTip(column, entry.path);
        }
    }

    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        return FileListLess(entry_, static_cast<const FileListItem&>(other).entry_,
                            static_cast<FileColumn>(column));
    }

  private:
    FileListEntry entry_;
};

}  // namespace

FileListView::FileListView(QWidget* parent) : QTreeWidget(parent) {
    setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Size"), QStringLiteral("DateTime")});
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAllColumnsShowFocus(true);
    header()->setStretchLastSection(false);
    header()->setSortIndicatorShown(true);
    sortByColumn(static_cast<int>(FileColumn::Name), Qt::AscendingOrder);
    setSortingEnabled(true);
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (item && item == pressedSelected_ && item->isSelected()) {
            emit selectedItemClicked(item);
        }
    });
}

void FileListView::Fill(const QVector<FileListEntry>& entries) {
    pressedSelected_ = nullptr;
    // Sorting while rows are added would sort once per row.
    setSortingEnabled(false);
    clear();
    for (const FileListEntry& entry : entries) {
        new FileListItem(this, entry);
    }
    setSortingEnabled(true);
    FitColumns();
}

void FileListView::FitColumns() {
    for (int column = 0; column < columnCount(); ++column) {
        resizeColumnToContents(column);
    }
}

QString FileListView::SelectedKey() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->data(0, kKeyRole).toString();
}

bool FileListView::SelectQuietly(const QString& key) {
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = topLevelItem(i);
        if (item->data(0, kKeyRole).toString() == key) {
            const QSignalBlocker blocker(this);
            setCurrentItem(item);
            scrollToItem(item);
            return true;
        }
    }
    return false;
}

void FileListView::mousePressEvent(QMouseEvent* event) {
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    pressedSelected_ = item && item == currentItem() && item->isSelected() ? item : nullptr;
    QTreeWidget::mousePressEvent(event);
}

void FileListView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The first click of the pair loaded the file; the second does not again.
    pressedSelected_ = nullptr;
    QTreeWidget::mouseDoubleClickEvent(event);
}

}  // namespace zorix
