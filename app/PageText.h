#pragma once

#include <QByteArray>
#include <QString>

namespace zorix {

// The text of a fetched page's body as a browser shows it: HTML is turned into plain
// text, every line break becomes CR LF, and nothing follows the last visible
// character. `contentType` is the reply's Content-Type header ("" when none).
QString PageText(const QByteArray& body, const QString& contentType);

}  // namespace zorix
