#include "controls/ValueRange.h"

#include <QtGlobal>
#include <cmath>

bool ValueRange::SetMin(int min) {
    if (min >= max_) {
        return false;
    }
    min_ = min;
    value_ = qMax(value_, min_);
    return true;
}

bool ValueRange::SetMax(int max) {
    if (max <= min_) {
        return false;
    }
    max_ = max;
    value_ = qMin(value_, max_);
    return true;
}

bool ValueRange::SetValue(int value) {
    const int clamped = qBound(min_, value, max_);
    if (clamped == value_) {
        return false;
    }
    value_ = clamped;
    return true;
}

void ValueRange::Repair() {
    if (max_ <= min_) {
        min_ = 0;
        max_ = 100;
    }
    value_ = qBound(min_, value_, max_);
}

bool ValueRange::HasSpan(int min, int max) {
    return static_cast<double>(max) - static_cast<double>(min) > 0;
}

double ValueRange::Scaled(int min, int max, int value, double scale) {
    const double span = static_cast<double>(max) - static_cast<double>(min);
    return span > 0 ? scale * (static_cast<double>(value) - min) / span : 0.0;
}

int ValueRange::Percentage(int min, int max, int value) {
    return static_cast<int>(std::lround(Scaled(min, max, value, 100.0)));
}
