#include "app/BatchProgress.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "app/modSettings.h"

namespace zorix {

QString PlainNumber(float value) {
    if (!std::isfinite(value)) {
        return QStringLiteral("0");
    }
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed);
    if (result.ec != std::errc()) {
        return QStringLiteral("0");
    }
    QString text = QString::fromLatin1(buffer.data(), result.ptr - buffer.data());
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QString DecodingStatus(float progress) {
    return QStringLiteral("decoding RLE (%1%)").arg(PlainNumber(progress));
}

QString EncodingStatus(const QString& action, float progress) {
    QString text = action.toLower();
    if (progress >= 0) {
        text += QStringLiteral(" (%1%)").arg(PlainNumber(progress));
    }
    return text;
}

std::optional<double> RemainingSeconds(int index, int total, double elapsed) {
    if (index <= 2 || total <= 0 || !std::isfinite(elapsed)) {
        return std::nullopt;
    }
    const double remaining = static_cast<double>(total) * elapsed / index - elapsed;
    if (!(remaining >= 0)) {
        return std::nullopt;
    }
    return remaining;
}

int32_t DurationSeconds(double seconds) {
    if (!(seconds > 0)) {
        return 0;
    }
    const double rounded = RoundHalfEven(seconds);
    constexpr double kMax = std::numeric_limits<int32_t>::max();
    return rounded >= kMax ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(rounded);
}

}  // namespace zorix
