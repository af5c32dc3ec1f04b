#include "TestCertificate.h"

#include <QDir>
#include <QProcess>
#include <QStringList>

namespace apptest {

TestCertificate MakeTestCertificate(const QString& folder, const QString& name,
                                    const QString& host) {
    TestCertificate made;
    made.certificatePath = QDir(folder).filePath(name + QStringLiteral(".crt"));
    made.keyPath = QDir(folder).filePath(name + QStringLiteral(".key"));
    // An EC key is made in milliseconds, where RSA would slow every run.
    const QStringList arguments = {
        "req",
        "-x509",
        "-newkey",
        "ec",
        "-pkeyopt",
        "ec_paramgen_curve:prime256v1",
        "-nodes",
        "-days",
        "2",
        "-subj",
        "/CN=" + name,
        "-addext",
        "subjectAltName=IP:" + host,
        "-keyout",
        made.keyPath,
        "-out",
        made.certificatePath,
    };
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"), arguments);
    if (!openssl.waitForFinished(30000) || openssl.exitStatus() != QProcess::NormalExit ||
        openssl.exitCode() != 0) {
        made.error = QStringLiteral("openssl failed: ") + openssl.errorString() + u' ' +
                     QString::fromLocal8Bit(openssl.readAllStandardError());
    }
    return made;
}

}  // namespace apptest
