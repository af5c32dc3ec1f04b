// The controls gallery: every control in every theme and state side by side.
// --screenshot FILE.png renders the window offscreen into FILE.png and exits.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "Gallery.h"

namespace {

const char* ScreenshotPath(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0) {
            return argv[i + 1];
        }
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    const char* shot = ScreenshotPath(argc, argv);
    if (shot != nullptr && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    Gallery gallery;
    gallery.setWindowTitle("Zorix controls gallery");
    gallery.show();
    gallery.ApplyStates();
    if (shot == nullptr) {
        return app.exec();
    }
    QApplication::processEvents();
    if (!gallery.grab().save(QString::fromLocal8Bit(shot), "PNG")) {
        std::fprintf(stderr, "could not write %s\n", shot);
        return 1;
    }
    return 0;
}
