#pragma once

#include <QString>

namespace apptest {

// A self-signed certificate and its key as PEM files, made by `openssl` for the tests'
// TLS servers. `host` goes into the subject's alternative name (an IP address).
struct TestCertificate {
    QString certificatePath;
    QString keyPath;
    QString error;  // what went wrong; empty when both files were made
};

TestCertificate MakeTestCertificate(const QString& folder, const QString& name,
                                    const QString& host = QStringLiteral("127.0.0.1"));

}  // namespace apptest
