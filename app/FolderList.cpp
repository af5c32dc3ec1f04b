#include "app/FolderList.h"

#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace zorix {

namespace {

constexpr int kPathRole = Qt::UserRole;

// The folder and every folder above it, outermost first.
QStringList Ancestry(const QString& path) {
    QStringList chain;
    QDir dir(path);
    chain.prepend(dir.absolutePath());
    while (dir.cdUp()) {
        chain.prepend(dir.absolutePath());
    }
    return chain;
}

}  // namespace

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const QString target = item->data(kPathRole).toString();
        if (target != path_) {
            setPath(target);
        }
    });
}

bool FolderList::setPath(const QString& folder) {
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir() || !info.isReadable() || !info.isExecutable()) {
        return false;
    }
    const QString clean = QDir::cleanPath(info.absoluteFilePath());
    const bool changed = clean != path_;
    path_ = clean;
    Rebuild();
    if (changed) {
        emit pathChanged(path_);
    }
    return true;
}

void FolderList::AddEntry(const QString& text, const QString& path, int depth, bool open) {
    auto* item = new QListWidgetItem(
        style()->standardIcon(open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon),
        QString(depth * 2, QLatin1Char(' ')) + text, this);
    item->setData(kPathRole, path);
    item->setToolTip(path);
}

void FolderList::Rebuild() {
    clear();
    const QStringList chain = Ancestry(path_);
    for (int depth = 0; depth < chain.size(); ++depth) {
        const QString& folder = chain[depth];
        const QString name = depth == 0 ? folder : QFileInfo(folder).fileName();
        AddEntry(name, folder, depth, true);
    }
    setCurrentRow(count() - 1);
    const QFileInfoList children = QDir(path_).entryInfoList(
        QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QFileInfo& child : children) {
        AddEntry(child.fileName(), child.absoluteFilePath(), static_cast<int>(chain.size()), false);
    }
}

}  // namespace zorix
