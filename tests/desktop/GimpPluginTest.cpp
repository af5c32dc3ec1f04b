// The installed GIMP plug-in inside GIMP itself (batch mode, a private GIMP folder that
// looks for plug-ins in the staging root and GIMP's own folder): device bitmaps open
// with the engine's exact pixels whatever their name, Windows bitmaps still open through
// GIMP's BMP plug-in, exports from RGBA, RGB, grey and indexed pictures are byte for
// byte what zorix-cli writes, and bad files fail inside GIMP without harm.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QStandardPaths>

#include "desktop/DesktopTestSupport.h"
#include "engine/RLEDecoder.h"
#include "engine/ZorixImgEngineEvents.h"
#include "imaging/StraightRgba.h"
#include "imaging/c32bppDIB.h"
#include "support/RLEBuilder.h"
#include "support/TestFiles.h"

namespace {

using desktoptest::RunProgram;
using desktoptest::Staged;

struct ExportCase {
    const char* name;
    QImage::Format format;
};
const ExportCase kExportCases[] = {
    {"rgba", QImage::Format_ARGB32},
    {"rgb", QImage::Format_RGB32},
    {"grey", QImage::Format_Grayscale8},
    {"indexed", QImage::Format_Indexed8},
};
// The palette options every export and its zorix-cli twin use.
const char kAccuracy[] = "97.5";
const char kMaxPalette[] = "40";

// A picture of a few hundred colours (so palette merging has work) in the given form.
QImage SourcePicture(QImage::Format format) {
    QImage image(53, 31, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = (x < 5) ? 0 : (x < 10 ? 90 + y : 255);
            image.setPixel(x, y, qRgba(x * 4, y * 8, (x * y) % 256, alpha));
        }
    }
    if (format == QImage::Format_Indexed8) {
        return image.convertToFormat(QImage::Format_RGB32)
            .convertToFormat(format, Qt::ThresholdDither | Qt::AvoidDither);
    }
    return image.convertToFormat(format);
}

// A device bitmap without an alpha table: its transparent entry reads as opaque black.
std::vector<uint8_t> OpaqueDeviceBitmap(int32_t width, int32_t height) {
    testsupport::RLEBuilder b;
    b.width = width;
    b.height = height;
    b.colors = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x8410};
    for (int32_t y = 0; y < height; ++y) {
        std::vector<uint8_t> codes(static_cast<size_t>(width));
        for (int32_t x = 0; x < width; ++x) {
            codes[static_cast<size_t>(x)] = static_cast<uint8_t>((x / 3 + y) % 6);
        }
        b.rows.push_back(testsupport::EncodeCodesRow(codes));
    }
    return b.Build();
}

QString SchemeString(const QString& path) {
    return "\"" + path + "\"";
}

class GimpPlugin : public ::testing::Test {
  protected:
    // One GIMP session serves every check: starting GIMP is the slow part (a first start
    // registers every plug-in of GIMP's), so this is one test.
    void SetUp() override {
        gimp_ = QStandardPaths::findExecutable(QStringLiteral("gimp-console-2.10"));
        if (gimp_.isEmpty()) {
            GTEST_SKIP() << "gimp-console-2.10 is not installed";
        }
        if (QStringLiteral(ZORIX_GIMP_PLUGIN).isEmpty()) {
            GTEST_SKIP() << "the GIMP plug-in was not built (no libgimp2.0-dev)";
        }
        dir_ = QString::fromStdString(desktoptest::ScratchDir("gimp"));
        PrepareFiles();
        session_ = RunProgram(gimp_, BatchArguments(), PrivateEnvironment(), 600000);
        ASSERT_EQ(session_.exitCode, 0) << session_.err.toStdString();
        EXPECT_FALSE(session_.err.contains(QStringLiteral("crashed")))
            << session_.err.toStdString();
    }

    static QString File(const QString& name) { return dir_ + "/" + name; }

    static void PrepareFiles() {
        testsupport::WriteBytes(File("device.bmp").toStdString(),
                                testsupport::VariedAlphaFile(61, 17));
        testsupport::WriteBytes(File("opaque.bmp").toStdString(), OpaqueDeviceBitmap(33, 9));
        testsupport::WriteBytes(File("windows.bmp").toStdString(),
                                desktoptest::OrdinaryBitmap(6, 4));
        std::vector<uint8_t> truncated = testsupport::VariedAlphaFile(40, 40);
        truncated.resize(truncated.size() / 2);
        testsupport::WriteBytes(File("truncated.bmp").toStdString(), truncated);
        for (const ExportCase& c : kExportCases) {
            SourcePicture(c.format).save(File(QString(c.name) + ".png"), "png");
        }
        QDir().mkpath(File("gimp-home"));
        QFile rc(File("gimp-home/gimprc"));
        if (rc.open(QIODevice::WriteOnly)) {
            rc.write("(plug-in-path \"" + Staged("lib/gimp/2.0/plug-ins").toUtf8() +
                     ":${gimp_plug_in_dir}/plug-ins\")\n");
        }
    }

    static QProcessEnvironment PrivateEnvironment() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("GIMP2_DIRECTORY"), File("gimp-home"));
        env.insert(QStringLiteral("HOME"), dir_);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), File("config"));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), File("cache"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), File("data"));
        env.remove(QStringLiteral("DISPLAY"));
        return env;
    }

    static QStringList BatchArguments() {
        QStringList args = {QStringLiteral("-i"), QStringLiteral("-d"), QStringLiteral("-f")};
        const auto batch = [&args](const QString& command) {
            args << QStringLiteral("-b") << command;
        };
        // Loading by content through GIMP's own file dispatch, then a PNG to compare.
        for (const char* name : {"device", "opaque", "windows"}) {
            const QString in = SchemeString(File(QString(name) + ".bmp"));
            const QString out = SchemeString(File(QString(name) + "-gimp.png"));
            batch("(let* ((image (car (gimp-file-load RUN-NONINTERACTIVE " + in + " " + in +
                  "))) (drawable (car (gimp-image-get-active-drawable image)))) "
                  "(file-png-save2 RUN-NONINTERACTIVE image drawable " +
                  out + " " + out + " 0 9 0 0 0 0 0 0 1) (gimp-image-delete image))");
        }
        for (const ExportCase& c : kExportCases) {
            const QString in = SchemeString(File(QString(c.name) + ".png"));
            const QString out = SchemeString(File(QString(c.name) + "-gimp.bmp"));
            batch("(let* ((image (car (file-png-load RUN-NONINTERACTIVE " + in + " " + in +
                  "))) (drawable (car (gimp-image-get-active-drawable image)))) "
                  "(file-zorix-rle-save RUN-NONINTERACTIVE image drawable " +
                  out + " " + out + " " + kAccuracy + " " + kMaxPalette +
                  " 0 0) (gimp-image-delete image))");
        }
        // Failures: a damaged device bitmap, and an export with an accuracy out of range.
        const QString bad = SchemeString(File("truncated.bmp"));
        batch("(gimp-file-load RUN-NONINTERACTIVE " + bad + " " + bad + ")");
        const QString rgb = SchemeString(File("rgb.png"));
        const QString refused = SchemeString(File("refused.bmp"));
        batch("(let* ((image (car (file-png-load RUN-NONINTERACTIVE " + rgb + " " + rgb +
              "))) (drawable (car (gimp-image-get-active-drawable image)))) "
              "(file-zorix-rle-save RUN-NONINTERACTIVE image drawable " +
              refused + " " + refused + " 50.0 0 0 0))");
        batch(QStringLiteral("(gimp-quit 0)"));
        return args;
    }

    // The checks on what the session left behind.
    void ExpectTheEnginesExactPixels();
    void ExpectWindowsBitmapsLeftToGimpsOwnReader();
    void ExpectTheBytesZorixCliWrites();
    void ExpectFailuresInsideGimp();

    static QString gimp_;
    static QString dir_;
    static desktoptest::ProcessResult session_;
};

QString GimpPlugin::gimp_;
QString GimpPlugin::dir_;
desktoptest::ProcessResult GimpPlugin::session_;

// The engine's straight RGBA pixels of a device bitmap, rows top first.
QImage EnginePicture(const QString& path) {
    quenda::c32bppDIB image;
    quenda::ZorixImgEngineEvents silent;
    const std::vector<uint8_t> bytes = testsupport::ReadBytes(path.toStdString());
    if (!quenda::DecodeRLEBytes(bytes, "x", image, silent).success) {
        return {};
    }
    QImage out(image.Width(), image.Height(), QImage::Format_RGBA8888);
    quenda::CopyRowsToStraightRgba(image, 0, image.Height(), out.bits(),
                                   static_cast<size_t>(out.bytesPerLine()));
    return out;
}

// Names the first pixel that differs, with both values.
void ExpectSamePixels(const QImage& got, const QImage& want, const char* name) {
    ASSERT_EQ(got.size(), want.size()) << name;
    for (int y = 0; y < want.height(); ++y) {
        for (int x = 0; x < want.width(); ++x) {
            const QRgb g = got.pixel(x, y);
            const QRgb w = want.pixel(x, y);
            ASSERT_EQ(g, w) << name << " at " << x << "," << y << ": " << std::hex << g << " vs "
                            << w;
        }
    }
}

void GimpPlugin::ExpectTheEnginesExactPixels() {
    for (const char* name : {"device", "opaque"}) {
        const QImage expected = EnginePicture(File(QString(name) + ".bmp"));
        ASSERT_FALSE(expected.isNull()) << name;
        const QImage opened(File(QString(name) + "-gimp.png"), "png");
        ASSERT_FALSE(opened.isNull()) << name << ": " << session_.err.toStdString();
        ExpectSamePixels(opened.convertToFormat(QImage::Format_RGBA8888), expected, name);
    }
}

void GimpPlugin::ExpectWindowsBitmapsLeftToGimpsOwnReader() {
    const QImage opened(File("windows-gimp.png"), "png");
    ASSERT_FALSE(opened.isNull()) << session_.err.toStdString();
    EXPECT_EQ(opened.size(), QSize(6, 4));
}

void GimpPlugin::ExpectTheBytesZorixCliWrites() {
    for (const ExportCase& c : kExportCases) {
        const QString source = File(QString(c.name) + ".png");
        const QString cliTarget = File(QString(c.name) + "-cli.bmp");
        const auto cli = RunProgram(Staged(QStringLiteral(ZORIX_BINDIR "/zorix-cli")),
                                    {"convert", "--to", "rle", "--quiet", "--accuracy", kAccuracy,
                                     "--max-palette", kMaxPalette, "-o", cliTarget, source});
        ASSERT_EQ(cli.exitCode, 0) << cli.err.toStdString();
        const std::vector<uint8_t> expected = testsupport::ReadBytes(cliTarget.toStdString());
        const std::vector<uint8_t> exported =
            testsupport::ReadBytes(File(QString(c.name) + "-gimp.bmp").toStdString());
        ASSERT_GT(expected.size(), 14u) << c.name;
        EXPECT_EQ(exported, expected) << c.name << ": " << session_.err.toStdString();
    }
}

void GimpPlugin::ExpectFailuresInsideGimp() {
    EXPECT_TRUE(session_.err.contains(QStringLiteral("truncated.bmp")))
        << session_.err.toStdString();
    EXPECT_TRUE(session_.err.contains(QStringLiteral("accuracy must be within 90 to 100")))
        << session_.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(File("refused.bmp")));
}

TEST_F(GimpPlugin, OpensAndExportsDeviceBitmapsInsideGimp) {
    ExpectTheEnginesExactPixels();
    ExpectWindowsBitmapsLeftToGimpsOwnReader();
    ExpectTheBytesZorixCliWrites();
    ExpectFailuresInsideGimp();
}

}  // namespace
