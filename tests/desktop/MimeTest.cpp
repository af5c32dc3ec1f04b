#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>

#include "desktop/DesktopTestSupport.h"
#include "support/TestFiles.h"

namespace {

using desktoptest::RunProgram;

// The MIME database that the test fixture "desktop.mimedb" built in the build tree from
// the installed package and the system's base package, as update-mime-database builds
// it when both are installed under one prefix; the real home is never consulted.
class InstalledMimeDatabase : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = desktoptest::ScratchDir("mime");
        env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), QString::fromStdString(dir) + "/home");
        env.insert(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral(ZORIX_MIME_DATA_DIR));
    }
    void TearDown() override { QDir(QString::fromStdString(dir)).removeRecursively(); }

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        return testsupport::WriteBytes(dir + "/" + name, bytes);
    }
    QStringList TypesOf(const QStringList& files) {
        const auto r = RunProgram(QStringLiteral(ZORIX_MIME_PROBE), files, env);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return r.out.split('\n', Qt::SkipEmptyParts);
    }

    std::string dir;
    QProcessEnvironment env;
};

TEST_F(InstalledMimeDatabase, TellsDeviceBitmapsFromWindowsBitmapsBothNamedBmp) {
    const QString device =
        QString::fromStdString(Write("device.bmp", desktoptest::DeviceBitmap(9, 4)));
    const QString upper =
        QString::fromStdString(Write("DEVICE.BMP", desktoptest::DeviceBitmap(3, 3)));
    const QString windows =
        QString::fromStdString(Write("windows.bmp", desktoptest::OrdinaryBitmap(4, 4)));
    EXPECT_EQ(TypesOf({device, upper, windows}),
              (QStringList{"image/x-zorix-rle", "image/x-zorix-rle", "image/bmp"}));
}

TEST_F(InstalledMimeDatabase, RecognisesDeviceBitmapsByContentWhateverTheirName) {
    const QString noName =
        QString::fromStdString(Write("picture.dat", desktoptest::DeviceBitmap(5, 5)));
    const QString noSuffix =
        QString::fromStdString(Write("picture", desktoptest::DeviceBitmap(5, 5)));
    EXPECT_EQ(TypesOf({noName, noSuffix}), (QStringList{"image/x-zorix-rle", "image/x-zorix-rle"}));
}

TEST_F(InstalledMimeDatabase, NeedsTheCheckValueNotJustTheSignature) {
    std::vector<uint8_t> bytes = desktoptest::DeviceBitmap(5, 5);
    bytes[12] = 0x00;  // "RL" alone is not enough
    const QString file = QString::fromStdString(Write("almost.dat", bytes));
    EXPECT_NE(TypesOf({file}).value(0), QStringLiteral("image/x-zorix-rle"));
}

TEST_F(InstalledMimeDatabase, WithoutThePackageADeviceBitmapPassesForAWindowsBitmap) {
    // Shows what the package is for: the base database alone goes by the name.
    env.insert(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral("/usr/share"));
    const QString device =
        QString::fromStdString(Write("device.bmp", desktoptest::DeviceBitmap(9, 4)));
    EXPECT_EQ(TypesOf({device}), QStringList{"image/bmp"});
}

}  // namespace
