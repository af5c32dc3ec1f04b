#include "app/UpdateTrust.h"

#include <QList>
#include <QSslCertificate>
#include <QSslSocket>

namespace zorix {

namespace {

bool IsHttps(const QUrl& url) {
    return url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

}  // namespace

QString UpdateCaBundle() {
    return qEnvironmentVariable("ZORIX_UPDATE_CA");
}

QSslConfiguration UpdateTlsConfiguration(const QString& caBundle) {
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (caBundle.isEmpty()) {
        return configuration;
    }
    // Setting a list replaces the system's authorities, so they are listed too.
    QList<QSslCertificate> authorities = configuration.caCertificates();
    if (authorities.isEmpty()) {
        authorities = QSslConfiguration::systemCaCertificates();
    }
    // An unreadable or empty file adds nobody: verification stays as strict as before.
    authorities += QSslCertificate::fromPath(caBundle, QSsl::Pem);
    configuration.setCaCertificates(authorities);
    return configuration;
}

bool LeavesTls(const QUrl& from, const QUrl& to) {
    return IsHttps(from) && !IsHttps(to);
}

}  // namespace zorix
