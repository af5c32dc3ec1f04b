#include "app/NativePath.h"

#include <QFile>

namespace zorix {

std::string NativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString FromNativePath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace zorix
