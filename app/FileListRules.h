#pragma once

#include <QDateTime>
#include <QString>
#include <QVector>
#include <cstdint>

// Which files the explorer's file list shows, and how it describes them.
namespace zorix {

// One row of the file list.
struct FileListEntry {
    QString name;       // item text
    QString sizeText;   // "Size" column
    QString timeText;   // "DateTime" column
    QString path;       // key and tool tip
    QString extension;  // tag: the upper-case extension
    int64_t size = 0;   // bytes, for sorting
    QDateTime modified;
};

// The columns of the file list, in order.
enum class FileColumn { Name = 0, Size = 1, DateTime = 2 };

// Order of two rows by a column: names ignore case (then case decides, so the
// order is total); sizes and times go by value, ties by name.
bool FileListLess(const FileListEntry& a, const FileListEntry& b, FileColumn column);

// A size in bytes with KB, MB, GB or TB: 0, 1023, "1 KB", "1.5 KB".
QString FormatFileSize(double size);
// The upper-case text after the last ".", or the whole upper-case name without one.
QString ListExtension(const QString& fileName);
// Whether an upper-case extension names a picture the program opens: BMP, PNG or GIF.
bool IsImageExtension(const QString& extension);
// The same extensions as a file dialog's patterns: "*.bmp;*.png;*.gif".
QString ImageFilePatterns();
// Listed are BMP, PNG and GIF files of at least one byte.
bool IsListedFile(const QString& fileName, int64_t size);
// A modification time as "yyyy-MM-dd HH:mm:ss".
QString FormatFileTime(const QDateTime& time);
// The visible, non-system files of a folder that the list shows, by name.
// A folder that cannot be read gives an empty list.
QVector<FileListEntry> ListImageFiles(const QString& folder);

}  // namespace zorix
