#pragma once

#include <QSslConfiguration>
#include <QString>
#include <QUrl>

namespace zorix {

// Whom the update check trusts. The version server is reached over HTTPS with the
// peer's certificate verified; a deployment with a private authority names its
// certificates in a PEM file through $ZORIX_UPDATE_CA.

// The value of $ZORIX_UPDATE_CA; empty when unset.
QString UpdateCaBundle();

// TLS settings of one update request: peer verification on, the system's trusted
// authorities, and those of `caBundle` (a PEM file) added when it names one.
QSslConfiguration UpdateTlsConfiguration(const QString& caBundle);

// True when going from `from` to `to` would leave TLS (HTTPS to anything else).
bool LeavesTls(const QUrl& from, const QUrl& to);

}  // namespace zorix
