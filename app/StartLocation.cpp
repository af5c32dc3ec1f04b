#include "app/StartLocation.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace zorix {

StartLocation LocationOf(const QString& pathOrUrl) {
    QString path = pathOrUrl;
    if (path.startsWith(QLatin1String("file:"))) {
        path = QUrl(path).toLocalFile();
    }
    if (path.isEmpty()) {
        return {};
    }
    const QFileInfo info(path);
    if (info.isDir()) {
        return {QDir::cleanPath(info.absoluteFilePath()), QString()};
    }
    if (info.isFile()) {
        return {QDir::cleanPath(info.absolutePath()), QDir::cleanPath(info.absoluteFilePath())};
    }
    return {};
}

QString StartArgument(const QStringList& arguments) {
    bool options = true;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (options && argument == QLatin1String("--")) {
            options = false;
        } else if (!argument.isEmpty() && (!options || !argument.startsWith(QLatin1Char('-')))) {
            return argument;
        }
    }
    return QString();
}

}  // namespace zorix
