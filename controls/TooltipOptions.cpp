#include "controls/TooltipOptions.h"

#include <QStringList>
#include <limits>

bool ParseWholeNumber(const QString& text, qint64* out) {
    QString s = text.trimmed();
    bool negative = false;
    if (s.startsWith('-')) {
        negative = true;
        s = s.mid(1);
    }
    bool ok = false;
    qint64 n = 0;
    if (s.startsWith("0x", Qt::CaseInsensitive) || s.startsWith("&h", Qt::CaseInsensitive)) {
        n = s.mid(2).toLongLong(&ok, 16);
    } else if (!s.isEmpty() && s[0].isDigit()) {
        n = s.toLongLong(&ok, 10);
    }
    if (!ok) {
        return false;
    }
    *out = negative ? -n : n;
    return true;
}

namespace {

bool ParseColor(const QString& value, quint32* out) {
    qint64 n = 0;
    if (!ParseWholeNumber(value, &n) || n < std::numeric_limits<qint32>::min() ||
        n > std::numeric_limits<quint32>::max()) {
        return false;
    }
    *out = static_cast<quint32>(n);
    return true;
}

int IconOf(const QString& value) {
    if (value == "info" || value == "1") {
        return 1;
    }
    if (value == "warning" || value == "2") {
        return 2;
    }
    if (value == "error" || value == "3") {
        return 3;
    }
    return -1;
}

}  // namespace

void TooltipOptions::Parse(const QString& exProp) {
    *this = TooltipOptions();
    const QStringList items = exProp.split(';');
    for (const QString& item : items) {
        const QStringList parts = item.split('=');
        if (parts.size() != 2) {
            continue;
        }
        const QString key = parts[0].trimmed().toLower();
        const QString rawValue = parts[1];
        const QString value = rawValue.trimmed().toLower();
        if (key == "ttbcolor") {
            ParseColor(value, &BackColor);
        } else if (key == "ttfcolor") {
            ParseColor(value, &ForeColor);
        } else if (key == "ttalign") {
            Centered = Centered || value == "center";
        } else if (key == "tticon") {
            const int icon = IconOf(value);
            Icon = icon >= 0 ? icon : Icon;
        } else if (key == "ttmultiline") {
            MultiLine = !(value == "false" || value == "no") && MultiLine;
        } else if (key == "ttstyle") {
            Style = value == "balloon" ? 1 : Style;
        } else if (key == "tttitle") {
            Title = rawValue;
        }
    }
}
