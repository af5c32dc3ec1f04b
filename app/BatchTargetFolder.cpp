#include "app/BatchTargetFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>
#include <filesystem>
#include <system_error>

#include "app/NativePath.h"

namespace zorix {

namespace {

QString CleanFolder(const QString& folder) {
    return QDir::cleanPath(folder);
}

}  // namespace

QString WithTrailingSeparator(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

bool IsAbsoluteFolder(const QString& folder) {
    return folder.startsWith(QLatin1Char('/'));
}

QStringList MountedVolumeRoots() {
    QStringList roots{QStringLiteral("/")};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        roots << volume.rootPath();
    }
    return roots;
}

bool IsRootFolder(const QString& folder, const QStringList& volumeRoots) {
    const QString clean = CleanFolder(folder);
    if (clean == QLatin1String("/")) {
        return true;
    }
    for (const QString& root : volumeRoots) {
        if (!root.isEmpty() && CleanFolder(root) == clean) {
            return true;
        }
    }
    return false;
}

FolderProbe ProbeFolder(const QString& folder) {
    // Without the trailing separator, so that a file in the folder's place reads as a
    // file rather than as a missing folder.
    QString path = folder;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) {
        path.chop(1);
    }
    std::error_code ec;
    const auto status = std::filesystem::status(NativePath(path), ec);
    if (status.type() == std::filesystem::file_type::not_found) {
        return FolderProbe::Missing;
    }
    if (ec || status.type() != std::filesystem::file_type::directory) {
        return FolderProbe::NotFolder;
    }
    return FolderProbe::Folder;
}

bool CreateFolder(const QString& folder) {
    return QDir().mkpath(folder) && ProbeFolder(folder) == FolderProbe::Folder;
}

QStringList DeleteFolderFiles(const QString& folder, const QStringList& keep) {
    QSet<QString> kept;
    for (const QString& path : keep) {
        const QString canonical = QFileInfo(path).canonicalFilePath();
        if (!canonical.isEmpty()) {
            kept.insert(canonical);
        }
    }
    QSet<QString> found;
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        // A link is removed by itself; what it points to is not touched.
        if (!entry.isSymLink() && kept.contains(entry.canonicalFilePath())) {
            found.insert(entry.canonicalFilePath());
            continue;
        }
        QFile::remove(entry.filePath());
    }
    QStringList result;
    for (const QString& path : keep) {
        if (found.contains(QFileInfo(path).canonicalFilePath())) {
            result << path;
        }
    }
    return result;
}

}  // namespace zorix
