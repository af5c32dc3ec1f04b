#include "app/ZoomRules.h"

#include <array>
#include <cmath>

namespace zorix {

namespace {

// Halves and thirds below 100 %, whole factors above it, so enlarged pixels stay
// squares of one size.
constexpr std::array<double, 19> kSteps = {
    1.0 / 16, 1.0 / 12, 1.0 / 8, 1.0 / 6, 1.0 / 4, 1.0 / 3, 1.0 / 2, 2.0 / 3, 1.0, 2.0,
    3.0,      4.0,      6.0,     8.0,     12.0,    16.0,    20.0,    24.0,    32.0};

// Scales this close count as the same step.
constexpr double kSameStep = 1e-9;

}  // namespace

std::span<const double> ZoomSteps() {
    return kSteps;
}

double ZoomIn(double scale) {
    for (const double step : kSteps) {
        if (step > scale + kSameStep) {
            return step;
        }
    }
    return kMaxZoom;
}

double ZoomOut(double scale) {
    for (auto it = kSteps.rbegin(); it != kSteps.rend(); ++it) {
        if (*it < scale - kSameStep) {
            return *it;
        }
    }
    return kMinZoom;
}

QString ZoomText(double scale) {
    const double percent = scale * 100;
    // Three significant digits at most, and no trailing zeros.
    const int decimals = percent >= 100 ? 0 : (percent >= 10 ? 1 : 2);
    QString text = QString::number(percent, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0'))) {
            text.chop(1);
        }
        if (text.endsWith(QLatin1Char('.'))) {
            text.chop(1);
        }
    }
    return text + QStringLiteral(" %");
}

QSize ZoomedSize(QSize image, double scale) {
    if (image.isEmpty()) {
        return {};
    }
    const auto side = [scale](int length) {
        return std::max(1, static_cast<int>(std::lround(length * scale)));
    };
    return {side(image.width()), side(image.height())};
}

std::optional<QPoint> PixelAt(QPoint point, QSize shown, QSize image) {
    if (shown.isEmpty() || image.isEmpty() || point.x() < 0 || point.y() < 0 ||
        point.x() >= shown.width() || point.y() >= shown.height()) {
        return std::nullopt;
    }
    // In whole numbers, so every zoom maps exactly and the last pixel stays inside.
    const auto along = [](int at, int shownLength, int imageLength) {
        return static_cast<int>(static_cast<long long>(at) * imageLength / shownLength);
    };
    return QPoint(along(point.x(), shown.width(), image.width()),
                  along(point.y(), shown.height(), image.height()));
}

int AnchoredScroll(int pointer, int oldEdge, int oldSize, int newSize) {
    if (oldSize <= 0) {
        return 0;
    }
    const double ratio = static_cast<double>(newSize) / oldSize;
    return static_cast<int>(std::lround((pointer - oldEdge) * ratio - pointer));
}

}  // namespace zorix
