#include "app/UpdateCheck.h"

#include <QStringList>

#ifndef ZORIX_VERSION_TEXT
#define ZORIX_VERSION_TEXT "1.0.0"
#endif
#ifndef ZORIX_UPDATE_ENDPOINT
#define ZORIX_UPDATE_ENDPOINT "https://www.vk-dev.example/zorix/"
#endif
#ifndef ZORIX_WEB_ADDRESS
#define ZORIX_WEB_ADDRESS "https://www.vk-dev.example/zorix"
#endif

namespace zorix {

QString RunningVersion() {
    return QStringLiteral(ZORIX_VERSION_TEXT);
}

QString UpdateEndpoint() {
    const QString fromEnvironment = qEnvironmentVariable("ZORIX_UPDATE_URL");
    return fromEnvironment.isEmpty() ? QStringLiteral(ZORIX_UPDATE_ENDPOINT) : fromEnvironment;
}

QString MakerWebAddress() {
    return QStringLiteral(ZORIX_WEB_ADDRESS);
}

QString RequestAddress(const QString& endpoint, const QString& version) {
    QString address = endpoint;
    if (!address.isEmpty() && !address.endsWith(u'/')) {
        address += u'/';
    }
    return address + QStringLiteral("index.asp?act=get_version&vrs=") + version;
}

QString UpdateAvailableText(const QString& webAddress, const QString& installed,
                            const QString& available, const QDate& released) {
    QString text = QStringLiteral("There is a new version update available for download.\n") +
                   QStringLiteral("Please visit ") + webAddress + QStringLiteral(".\n\n") +
                   QStringLiteral("Installed version: ") + installed + QStringLiteral("\n\n") +
                   QStringLiteral("Available version: ") + available;
    if (released.isValid()) {
        text += QStringLiteral("   Released: ") + released.toString(QStringLiteral("yyyy-MM-dd"));
    }
    return text;
}

ServerMessage SplitServerMessage(const QString& value) {
    const QStringList pieces = value.split(u'|');
    ServerMessage message;
    message.text = pieces.first();
    message.text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    message.title = pieces.size() > 1 ? pieces[1] : QStringLiteral("Zorix");
    return message;
}

}  // namespace zorix
