#include "app/PaletteLimitRules.h"

#include <limits>

#include "app/modSettings.h"

namespace zorix {

namespace {

bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

}  // namespace

bool IsAcceptedPaletteKey(const QString& typed) {
    for (const QChar c : typed) {
        if (c.isPrint() && !IsAsciiDigit(c)) {
            return false;
        }
    }
    return true;
}

QString PaletteDigitsOnly(const QString& text) {
    QString digits;
    for (const QChar c : text) {
        if (IsAsciiDigit(c)) {
            digits += c;
        }
    }
    return digits;
}

QString CorrectedPaletteText(const QString& text, int32_t current) {
    if (!IsNumeric(text)) {
        return QString::number(current);
    }
    if (NumericValue(text) < 0) {
        return QString::fromLatin1(kDesignPaletteText);
    }
    return text;
}

int32_t PaletteLimitOf(const QString& text, bool imposed) {
    if (!imposed) {
        return 0;
    }
    const double value = RoundHalfEven(NumericValue(text));
    constexpr double kLowest = std::numeric_limits<int32_t>::min();
    constexpr double kHighest = std::numeric_limits<int32_t>::max();
    if (value <= kLowest) {
        return std::numeric_limits<int32_t>::min();
    }
    if (value >= kHighest) {
        return std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(value);
}

}  // namespace zorix
