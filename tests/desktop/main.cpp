#include <gtest/gtest.h>

#include <QGuiApplication>

#include "desktop/DesktopTestSupport.h"

int main(int argc, char** argv) {
    // The image-format plugin must come from the staging root, as an installed one would.
    qputenv("QT_PLUGIN_PATH", desktoptest::StagedPluginDir().toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
