// Version-server replies of arbitrary bytes: validity, reading, dates, versions and
// the message split.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "app/CompareVersions.h"
#include "app/UpdateCheck.h"
#include "app/UpdateReply.h"

namespace {

// Swapping the two versions swaps "greater" and "smaller" and keeps "equal".
bool IsAntisymmetric(const QString& a, const QString& b) {
    const int ab = zorix::CompareVersions(a, b);
    const int ba = zorix::CompareVersions(b, a);
    return (ab == 0 && ba == 0) || (ab == 1 && ba == 2) || (ab == 2 && ba == 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (text.endsWith(QStringLiteral("[EOF]")) && !zorix::IsValidReply(text)) {
        __builtin_trap();
    }
    for (const bool mayRedirect : {true, false}) {
        const zorix::UpdateReply reply = zorix::ReadReply(text, mayRedirect);
        // A followed redirect carries nothing else.
        if (!reply.redirect.isEmpty() &&
            (!mayRedirect || !reply.version.isEmpty() || !reply.message.isEmpty())) {
            __builtin_trap();
        }
        if (!IsAntisymmetric(QStringLiteral("1.0.1"), reply.version) ||
            zorix::CompareVersions(reply.version, reply.version) != 0) {
            __builtin_trap();
        }
        zorix::SplitServerMessage(reply.message);
    }
    zorix::ParseReleaseDate(text);
    return 0;
}
