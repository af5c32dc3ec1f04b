#include "app/FileListRules.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <array>

#include "app/modSettings.h"

namespace zorix {

namespace {

// The extensions of the pictures the program opens, upper-case, in filter order.
constexpr std::array<const char*, 3> kImageExtensions = {"BMP", "PNG", "GIF"};

}  // namespace

QString FormatFileSize(double size) {
    static const std::array<const char*, 5> kUnits = {"", "KB", "MB", "GB", "TB"};
    size_t unit = 0;
    while (size > 1023 && unit + 1 < kUnits.size()) {
        size /= 1024;
        ++unit;
    }
    const double rounded = RoundHalfEven(size * 100) / 100;
    const QString text = NumberText(rounded) + QLatin1Char(' ') + QLatin1String(kUnits[unit]);
    return text.trimmed();
}

QString ListExtension(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return (dot < 0 ? fileName : fileName.mid(dot + 1)).toUpper();
}

bool IsImageExtension(const QString& extension) {
    for (const char* known : kImageExtensions) {
        if (extension == QLatin1String(known)) {
            return true;
        }
    }
    return false;
}

QString ImageFilePatterns() {
    QStringList patterns;
    for (const char* known : kImageExtensions) {
        patterns << QStringLiteral("*.") + QString::fromLatin1(known).toLower();
    }
    return patterns.join(QLatin1Char(';'));
}

bool IsListedFile(const QString& fileName, int64_t size) {
    return IsImageExtension(ListExtension(fileName)) && size >= 1;
}

QString FormatFileTime(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

bool FileListLess(const FileListEntry& a, const FileListEntry& b, FileColumn column) {
    const auto byName = [&] {
        const int folded = a.name.compare(b.name, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a.name.compare(b.name, Qt::CaseSensitive) < 0;
    };
    switch (column) {
        case FileColumn::Size:
            return a.size != b.size ? a.size < b.size : byName();
        case FileColumn::DateTime:
            return a.modified != b.modified ? a.modified < b.modified : byName();
        case FileColumn::Name:
            break;
    }
    return byName();
}

QVector<FileListEntry> ListImageFiles(const QString& folder) {
    QVector<FileListEntry> entries;
    const QDir dir(folder);
    // Hidden and system files stay out of the list, as do unreadable ones.
    const QFileInfoList files =
        dir.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QFileInfo& info : files) {
        const int64_t size = info.size();
        if (!IsListedFile(info.fileName(), size)) {
            continue;
        }
        entries.push_back({info.fileName(), FormatFileSize(static_cast<double>(size)),
                           FormatFileTime(info.lastModified()), info.absoluteFilePath(),
                           ListExtension(info.fileName()), size, info.lastModified()});
    }
    return entries;
}

}  // namespace zorix
