#include "app/CompareVersions.h"

#include <QStringList>

namespace zorix {

namespace {

constexpr int kVersionParts = 4;

bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The text of a part's number: leading blanks and an optional sign, then the digits
// up to the first other character, without leading zeros. Digits are kept as text,
// so a part of any length has a number and nothing overflows.
QString NumberText(const QString& part) {
    const QString text = part.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    while (i < text.size() && text[i] == u'0') {
        ++i;
    }
    QString digits;
    while (i < text.size() && IsAsciiDigit(text[i])) {
        digits += text[i++];
    }
    if (digits.isEmpty()) {
        return QStringLiteral("0");
    }
    return negative ? QStringLiteral("-") + digits : digits;
}

}  // namespace

QString NormalisedVersion(const QString& version) {
    QStringList parts = version.split(u'.');
    parts.resize(kVersionParts);
    for (QString& part : parts) {
        part = NumberText(part);
    }
    return parts.join(u'.');
}

int CompareVersions(const QString& a, const QString& b) {
    const int order =
        QString::compare(NormalisedVersion(a), NormalisedVersion(b), Qt::CaseSensitive);
    if (order == 0) {
        return 0;
    }
    return order > 0 ? 1 : 2;
}

}  // namespace zorix
