#include "app/modShell.h"

#include <QWidget>

#include <cmath>

#include "app/Prompter.h"
#include "app/modSettings.h"

namespace zorix {

QString FileNameOf(const QString& path) {
    QString name = path.trimmed();
    if (name.isEmpty()) {
        return name;
    }
    name.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return name.mid(name.lastIndexOf(QLatin1Char('\\')) + 1);
}

QString FormatDuration(int32_t seconds) {
    // Wider fields than a byte, so long durations do not overflow.
    const int64_t count = seconds < 0 ? 0 : seconds;
    const int64_t hours = count / 3600;
    const int64_t minutes = (count / 60) % 60;
    const int64_t rest = count % 60;
    return QStringLiteral("%1:%2:%3")
        .arg(hours, 2, 10, QLatin1Char('0'))
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(rest, 2, 10, QLatin1Char('0'));
}

QString BrowseForFolder(Prompter& prompter, QWidget* parent) {
    return prompter.ChooseFolder(parent, QStringLiteral("Select folder"));
}

float ProgressPercent(float value) {
    if (std::isnan(value) || value < 0) {
        return 0;
    }
    return static_cast<float>(RoundHalfEven(value > 100 ? 100 : value));
}

void TakeFocusBack(QWidget* window) {
    if (window && window->isVisible()) {
        window->raise();
        window->activateWindow();
    }
}

void MakeTopmost(QWidget* window) {
    if (!window) {
        return;
    }
    window->setAttribute(Qt::WA_ShowWithoutActivating, true);
    if (!(window->windowFlags() & Qt::WindowStaysOnTopHint)) {
        // Changing window flags hides the window; it is shown again below.
        window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    window->show();
    window->raise();
}

}  // namespace zorix
