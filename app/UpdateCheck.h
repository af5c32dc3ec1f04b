#pragma once

#include <QDate>
#include <QString>

namespace zorix {

// Texts of the update check that do not need a window.

// The running program's version, major "." minor "." revision.
QString RunningVersion();
// The version server's address: $ZORIX_UPDATE_URL when set, else the build's setting.
QString UpdateEndpoint();
// The maker's web address named in the "Update available" message.
QString MakerWebAddress();

// endpoint + "index.asp?act=get_version&vrs=" + version; a "/" is put between an
// endpoint and the page name when the endpoint does not end in one.
QString RequestAddress(const QString& endpoint, const QString& version);

// The body of the "Update available" message; `released` is left out when invalid.
QString UpdateAvailableText(const QString& webAddress, const QString& installed,
                            const QString& available, const QDate& released);

// A server message "text|title": "\n" in the text stands for a line break. Without a
// "|" the whole value is the text and the title is "Zorix".
struct ServerMessage {
    QString text;
    QString title;
};
ServerMessage SplitServerMessage(const QString& value);

}  // namespace zorix
