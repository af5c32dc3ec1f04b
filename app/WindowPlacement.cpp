#include "app/WindowPlacement.h"

#include <QStringList>

#include "app/modSettings.h"

namespace zorix {

namespace {

void ApplyPair(const QString& text, std::optional<double>& first, std::optional<double>& second) {
    const QStringList pieces = text.split(QLatin1Char('x'));
    if (pieces.size() != 2) {
        return;
    }
    if (IsNumeric(pieces[0])) {
        first = NumericValue(pieces[0]);
    }
    if (IsNumeric(pieces[1])) {
        second = NumericValue(pieces[1]);
    }
}

}  // namespace

WindowPlacement ParseWindowPos(const QString& text) {
    WindowPlacement placement;
    if (text.isEmpty()) {
        placement.centre = true;
        return placement;
    }
    const QStringList parts = text.split(QLatin1Char('@'));
    if (parts.size() != 2 || !parts[0].contains(QLatin1Char('x')) ||
        !parts[1].contains(QLatin1Char('x'))) {
        return placement;
    }
    ApplyPair(parts[0], placement.width, placement.height);
    ApplyPair(parts[1], placement.left, placement.top);
    return placement;
}

QString FormatWindowPos(double width, double height, double left, double top) {
    return NumberText(width) + QLatin1Char('x') + NumberText(height) + QLatin1Char('@') +
           NumberText(left) + QLatin1Char('x') + NumberText(top);
}

bool IsMaximisedState(const QString& text) {
    return text == QLatin1String("2");
}

}  // namespace zorix
