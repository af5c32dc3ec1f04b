#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/QtPrompter.h"
#include "app/StartLocation.h"
#include "app/mainForm.h"
#include "app/modSettings.h"

namespace {

// Without a display the platform plug-in would abort with a long message.
bool HasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (!HasDisplay()) {
        std::fputs("zorix: no display available (set DISPLAY, or run under xvfb-run)\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QString::fromLatin1(zorix::kSettingsOrganization));
    QApplication::setApplicationName(QString::fromLatin1(zorix::kSettingsApplication));
    zorix::QtPrompter prompter;
    zorix::mainForm window(prompter);
    window.Startup();
    window.show();
    // "zorix FILE" or "zorix FOLDER": a path that names nothing starts as without one.
    const QString start = zorix::StartArgument(QApplication::arguments());
    if (!start.isEmpty()) {
        window.OpenLocation(start);
    }
    return app.exec();
}
