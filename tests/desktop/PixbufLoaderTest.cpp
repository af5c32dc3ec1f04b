// The installed gdk-pixbuf loader inside real hosts: Python's GdkPixbuf (whole files,
// pieces of any size, a requested size) and gdk-pixbuf-thumbnailer, through the loader
// cache and the MIME type the install wrote. Device bitmaps give the engine's exact pixels, Windows
// bitmaps still go to gdk-pixbuf's own loader, and bad files are refused cleanly.
#include <gtest/gtest.h>

#include <QDir>
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

const QString kProbe = QStringLiteral(ZORIX_SOURCE_DIR "/tests/desktop/probe/pixbuf_probe.py");

std::vector<uint8_t> EngineRgba(const std::vector<uint8_t>& file) {
    quenda::c32bppDIB image;
    quenda::ZorixImgEngineEvents silent;
    if (!quenda::DecodeRLEBytes(file, "x", image, silent).success) {
        return {};
    }
    std::vector<uint8_t> rgba(static_cast<size_t>(image.scanWidth()) * image.Height());
    quenda::CopyRowsToStraightRgba(image, 0, image.Height(), rgba.data(),
                                   static_cast<size_t>(image.scanWidth()));
    return rgba;
}

// A Python that has GdkPixbuf's bindings: the one on PATH, or the system's own when
// another Python comes first on PATH. Empty when there is none.
QString GiPython() {
    static const QString python = [] {
        for (const QString& candidate :
             {QStringLiteral("python3"), QStringLiteral("/usr/bin/python3")}) {
            const auto r =
                RunProgram(candidate, {"-c",
                                       "import gi; gi.require_version('GdkPixbuf', '2.0'); "
                                       "from gi.repository import GdkPixbuf"});
            if (r.exitCode == 0) {
                return candidate;
            }
        }
        return QString();
    }();
    return python;
}

bool PythonGdkPixbufPresent() {
    return !GiPython().isEmpty();
}

class PixbufLoader : public ::testing::Test {
  protected:
    void SetUp() override {
        if (QStringLiteral(ZORIX_PIXBUF_CACHE_FILE).isEmpty()) {
            GTEST_SKIP() << "the gdk-pixbuf loader was not built (no libgdk-pixbuf-2.0-dev)";
        }
        dir = desktoptest::ScratchDir("pixbuf");
        env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("GDK_PIXBUF_MODULE_FILE"),
                   Staged(QStringLiteral(ZORIX_PIXBUF_CACHE_FILE)));
        // GdkPixbuf picks its loader by the MIME type GIO finds from the content, so the
        // MIME database must know the installed type, as it does on an installed system.
        env.insert(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral(ZORIX_MIME_DATA_DIR));
        env.insert(QStringLiteral("HOME"), QString::fromStdString(dir));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), QString::fromStdString(dir + "/cache"));
    }
    void TearDown() override { QDir(QString::fromStdString(dir)).removeRecursively(); }

    QString Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        return QString::fromStdString(testsupport::WriteBytes(dir + "/" + name, bytes));
    }
    QString Out(const char* name) { return QString::fromStdString(dir) + "/" + name; }
    desktoptest::ProcessResult Probe(const QStringList& args) {
        return RunProgram(GiPython(), QStringList{kProbe} + args, env);
    }

    std::string dir;
    QProcessEnvironment env;
};

TEST_F(PixbufLoader, TheInstalledCacheNamesTheLoaderAtItsInstalledPlace) {
    QFile cache(Staged(QStringLiteral(ZORIX_PIXBUF_CACHE_FILE)));
    ASSERT_TRUE(cache.open(QIODevice::ReadOnly));
    const QByteArray text = cache.readAll();
    EXPECT_TRUE(
        text.contains(("\"" + Staged(QStringLiteral(ZORIX_PIXBUF_LOADER)) + "\"").toUtf8()));
    EXPECT_TRUE(text.contains("\"image/x-zorix-rle\""));
}

TEST_F(PixbufLoader, PythonReadsDeviceBitmapsWithTheEnginesPixels) {
    if (!PythonGdkPixbufPresent()) {
        GTEST_SKIP() << "python3-gi with GdkPixbuf is not installed";
    }
    const std::vector<uint8_t> file = testsupport::VariedAlphaFile(45, 21);
    const QString input = Write("device.bmp", file);
    for (const QStringList& extra :
         {QStringList{}, QStringList{"--pieces", "1"}, QStringList{"--pieces", "100"}}) {
        const auto r = Probe(QStringList{input, Out("pixels")} + extra);
        ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
        EXPECT_EQ(r.out, QStringLiteral("zorix-rle 45 21\n"));
        EXPECT_EQ(testsupport::ReadBytes(Out("pixels").toStdString()), EngineRgba(file))
            << extra.join(' ').toStdString();
    }
}

TEST_F(PixbufLoader, PythonGetsTheSizeItAsksFor) {
    if (!PythonGdkPixbufPresent()) {
        GTEST_SKIP() << "python3-gi with GdkPixbuf is not installed";
    }
    const QString input = Write("wide.bmp", desktoptest::DeviceBitmap(400, 100));
    auto r = Probe({input, Out("pixels"), "40", "10"});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("zorix-rle 40 10\n"));
    r = Probe({input, Out("pixels"), "64", "16", "--pieces", "7"});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("zorix-rle 64 16\n"));
}

TEST_F(PixbufLoader, WindowsBitmapsStillGoToGdkPixbufsOwnLoader) {
    if (!PythonGdkPixbufPresent()) {
        GTEST_SKIP() << "python3-gi with GdkPixbuf is not installed";
    }
    const auto r = Probe({Write("windows.bmp", desktoptest::OrdinaryBitmap(5, 3)), Out("p")});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("bmp 5 3\n"));
}

TEST_F(PixbufLoader, PythonIsRefusedBadFilesCleanly) {
    if (!PythonGdkPixbufPresent()) {
        GTEST_SKIP() << "python3-gi with GdkPixbuf is not installed";
    }
    std::vector<uint8_t> truncated = testsupport::VariedAlphaFile(40, 40);
    truncated.resize(truncated.size() - 30);
    std::vector<uint8_t> huge = desktoptest::DeviceBitmap(4, 4);
    huge[4] = huge[5] = huge[6] = huge[7] = 0x7F;  // 32639 x 32639: beyond the pixel limit
    const std::pair<const char*, std::vector<uint8_t>> files[] = {
        {"truncated.bmp", truncated},
        {"header.bmp", std::vector<uint8_t>(truncated.begin(), truncated.begin() + 20)},
        {"huge.bmp", huge},
    };
    for (const auto& [name, bytes] : files) {
        const QString input = Write(name, bytes);
        for (const QStringList& extra : {QStringList{}, QStringList{"--pieces", "3"}}) {
            const auto r = Probe(QStringList{input, Out("p")} + extra);
            EXPECT_EQ(r.exitCode, 3) << name << r.out.toStdString() << r.err.toStdString();
            EXPECT_TRUE(r.out.startsWith(QStringLiteral("refused: "))) << name;
        }
    }
}

TEST_F(PixbufLoader, GdkPixbufThumbnailerMakesThumbnails) {
    const QString thumbnailer =
        QStandardPaths::findExecutable(QStringLiteral("gdk-pixbuf-thumbnailer"));
    if (thumbnailer.isEmpty()) {
        GTEST_SKIP() << "gdk-pixbuf-thumbnailer is not installed (libgdk-pixbuf2.0-bin)";
    }
    const QString input = Write("wide.bmp", desktoptest::DeviceBitmap(300, 100));
    auto r = RunProgram(thumbnailer, {"-s", "64", input, Out("thumb.png")}, env);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QImage thumb(Out("thumb.png"), "png");
    ASSERT_FALSE(thumb.isNull());
    EXPECT_EQ(thumb.width(), 64);
    EXPECT_LE(thumb.height(), 22);

    std::vector<uint8_t> truncated = desktoptest::DeviceBitmap(40, 40);
    truncated.resize(30);
    r = RunProgram(thumbnailer, {"-s", "64", Write("bad.bmp", truncated), Out("bad.png")}, env);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.exitCode, -1) << "the thumbnailer crashed";
    EXPECT_FALSE(QFileInfo::exists(Out("bad.png")));
}

}  // namespace
