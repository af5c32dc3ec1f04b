#include "app/DriveList.h"

#include <QDir>
#include <QStorageInfo>

namespace zorix {

namespace {

bool Contains(const QString& root, const QString& path) {
    if (root == QLatin1String("/")) {
        return path.startsWith(QLatin1Char('/'));
    }
    return path == root || path.startsWith(root + QLatin1Char('/'));
}

}  // namespace

bool IsDriveReady(const QString& root) {
    const QStorageInfo volume(root);
    const QDir dir(root);
    return volume.isValid() && volume.isReady() && dir.exists() && dir.isReadable();
}

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    Refresh();
    connect(this, &QComboBox::activated, this,
            [this](int index) { emit drivePicked(itemData(index).toString()); });
}

void DriveList::Refresh() {
    const QString current = Drive();
    clear();
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        const QString name = volume.name();
        addItem(name.isEmpty() || name == root ? root : QStringLiteral("%1 [%2]").arg(root, name),
                root);
    }
    if (findData(QStringLiteral("/")) < 0) {
        insertItem(0, QStringLiteral("/"), QStringLiteral("/"));
    }
    if (!current.isEmpty()) {
        SelectDriveOf(current);
    }
}

QString DriveList::Drive() const {
    return currentData().toString();
}

QString DriveList::DriveOf(const QString& path) const {
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    QString best;
    for (int i = 0; i < count(); ++i) {
        const QString root = itemData(i).toString();
        if (Contains(root, clean) && root.size() > best.size()) {
            best = root;
        }
    }
    return best;
}

void DriveList::SelectDriveOf(const QString& path) {
    const int index = findData(DriveOf(path));
    if (index >= 0) {
        const QSignalBlocker blocker(this);
        setCurrentIndex(index);
    }
}

}  // namespace zorix
