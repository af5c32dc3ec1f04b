#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QLoggingCategory>
#include <QProcess>

#include <cstring>
#include <vector>

#include "desktop/DesktopTestSupport.h"
#include "engine/RLEScaledDecoder.h"
#include "engine/ZorixImgEngine.h"
#include "imaging/c32bppDIB.h"
#include "support/TestFiles.h"

namespace {

const std::string kSuite = ZORIX_SOURCE_DIR "/tests/data/pngsuite/";

// Straight-alpha BGRA rows, top row first, as the engine's writers see the image.
std::vector<uint8_t> EnginePixels(const std::string& path) {
    quenda::ZorixImgEngine engine;
    if (!engine.LoadImage(path)) {
        return {};
    }
    quenda::DIBbitsLayout layout;
    layout.bottomUp = false;
    std::vector<uint8_t> bytes;
    engine.Image()->GetDIBbits(bytes, layout, 0, 0, 0, 0, false);
    return bytes;
}

std::vector<uint8_t> QImagePixels(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    std::vector<uint8_t> bytes;
    for (int y = 0; y < argb.height(); ++y) {
        const uchar* row = argb.constScanLine(y);
        bytes.insert(bytes.end(), row, row + argb.width() * 4);
    }
    return bytes;
}

// The engine's own device bitmap of an image file, with the given palette options.
std::vector<uint8_t> EngineRLE(const std::string& source, const std::string& target,
                               float accuracy = 100, int32_t maxPalette = 0) {
    quenda::ZorixImgEngine engine;
    engine.setRLEColorAccuracy(accuracy);
    engine.setRLEMaxPalleteSize(maxPalette);
    if (!engine.LoadImage(source) || !engine.SaveImageAs(target, quenda::IS_BMP_RL)) {
        return {};
    }
    return testsupport::ReadBytes(target);
}

class ImagePlugin : public ::testing::Test {
  protected:
    void SetUp() override { dir = desktoptest::ScratchDir("plugin"); }
    void TearDown() override { QDir(QString::fromStdString(dir)).removeRecursively(); }
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        return testsupport::WriteBytes(dir + "/" + name, bytes);
    }
    std::string Path(const std::string& name) { return dir + "/" + name; }
    std::string dir;
};

TEST_F(ImagePlugin, IsFoundInTheStagingRoot) {
    EXPECT_TRUE(QImageReader::supportedImageFormats().contains("rlebmp"));
    EXPECT_TRUE(QImageWriter::supportedImageFormats().contains("rlebmp"));
    EXPECT_TRUE(QImageReader::supportedMimeTypes().contains("image/x-zorix-rle"));
}

TEST_F(ImagePlugin, ReadsADeviceBitmapNamedBmpWithTheEnginesPixels) {
    const std::string path = Write("x.bmp", desktoptest::DeviceBitmap(23, 9));
    QImageReader reader(QString::fromStdString(path));
    EXPECT_EQ(reader.format(), QByteArray("rlebmp"));
    EXPECT_EQ(reader.size(), QSize(23, 9));
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
    EXPECT_TRUE(image.hasAlphaChannel());
    EXPECT_EQ(QImagePixels(image), EnginePixels(path));
}

TEST_F(ImagePlugin, DecidingByContentAlsoFindsIt) {
    const std::string path = Write("z.bmp", desktoptest::DeviceBitmap(11, 6));
    QImageReader reader(QString::fromStdString(path));
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(QImagePixels(image), EnginePixels(path));
    const std::string windows = Write("w2.bmp", desktoptest::OrdinaryBitmap(3, 3));
    QImageReader other(QString::fromStdString(windows));
    other.setDecideFormatFromContent(true);
    EXPECT_EQ(other.format(), QByteArray("bmp"));
}

TEST_F(ImagePlugin, MatchesThePngTheEngineWrites) {
    const std::string device = Write("y.bmp", desktoptest::DeviceBitmap(40, 12));
    quenda::ZorixImgEngine engine;
    ASSERT_TRUE(engine.LoadImage(device));
    ASSERT_TRUE(engine.SaveImageAs(Path("y.png"), quenda::IS_PNG));
    const QImage viaPlugin(QString::fromStdString(device));
    const QImage viaPng(QString::fromStdString(Path("y.png")), "png");
    ASSERT_FALSE(viaPlugin.isNull());
    ASSERT_FALSE(viaPng.isNull());
    EXPECT_EQ(QImagePixels(viaPlugin), QImagePixels(viaPng));
}

TEST_F(ImagePlugin, ReadsOpaqueDeviceBitmapsAsOpaqueImages) {
    const std::vector<uint8_t> rle = EngineRLE(kSuite + "basn2c08.png", Path("opaque.bmp"));
    ASSERT_FALSE(rle.empty());
    const QImage image(QString::fromStdString(Path("opaque.bmp")));
    ASSERT_FALSE(image.isNull());
    EXPECT_FALSE(image.hasAlphaChannel());
    EXPECT_EQ(QImagePixels(image), EnginePixels(Path("opaque.bmp")));
}

TEST_F(ImagePlugin, LeavesWindowsBitmapsToQt) {
    const std::string path = Write("w.bmp", desktoptest::OrdinaryBitmap(4, 3));
    QImageReader reader(QString::fromStdString(path));
    EXPECT_EQ(reader.format(), QByteArray("bmp"));
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(4, 3));
}

TEST_F(ImagePlugin, RecognisesContentInMemoryWithOrWithoutAFormatName) {
    const std::vector<uint8_t> bytes = desktoptest::DeviceBitmap(8, 8);
    const QByteArray data(reinterpret_cast<const char*>(bytes.data()),
                          static_cast<qsizetype>(bytes.size()));
    EXPECT_EQ(QImage::fromData(data, "BMP").size(), QSize(8, 8));
    EXPECT_EQ(QImage::fromData(data).size(), QSize(8, 8));
    EXPECT_EQ(QImage::fromData(data, "rlebmp").size(), QSize(8, 8));
}

TEST_F(ImagePlugin, BadFilesFailCleanly) {
    std::vector<uint8_t> truncated = desktoptest::DeviceBitmap(30, 30);
    truncated.resize(truncated.size() / 2);
    std::vector<uint8_t> badAlpha = desktoptest::DeviceBitmap(6, 6);
    badAlpha[14 + 2 * 4 + 1] = 200;  // an alpha level above 32
    std::vector<uint8_t> headerOnly = desktoptest::DeviceBitmap(6, 6);
    headerOnly.resize(14);
    headerOnly[4] = headerOnly[5] = headerOnly[6] = headerOnly[7] = 0x7F;
    // The plugin says why on its logging category when asked to.
    static std::vector<std::string> logged;
    logged.clear();
    QLoggingCategory::setFilterRules(QStringLiteral("zorix.imageformats.rle.info=true"));
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext& where, const QString& text) {
            if (where.category && std::strcmp(where.category, "zorix.imageformats.rle") == 0) {
                logged.push_back(text.toStdString());
            }
        });
    int n = 0;
    for (const auto& bytes : {truncated, badAlpha, headerOnly}) {
        const std::string path = Write("bad" + std::to_string(n++) + ".bmp", bytes);
        QImageReader reader(QString::fromStdString(path));
        EXPECT_TRUE(reader.read().isNull()) << path;
        EXPECT_NE(reader.error(), QImageReader::UnknownError) << path;
    }
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    ASSERT_EQ(logged.size(), 3u);
    EXPECT_NE(logged[0].find("truncated"), std::string::npos) << logged[0];
    EXPECT_NE(logged[1].find("malformed"), std::string::npos) << logged[1];
}

// What the engine's scaled decoder makes of a file, as straight ARGB32 rows.
std::vector<uint8_t> ScaledPixels(const std::vector<uint8_t>& file, int w, int h) {
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4);
    const quenda::RLETarget target{pixels.data(), w * 4, w, h, quenda::RLEPixelOrder::StraightBGRA};
    EXPECT_TRUE(quenda::DecodeRLEScaled(file, target).success);
    return pixels;
}

TEST_F(ImagePlugin, ScaledReadsDecodeAtTheRequestedSize) {
    const std::vector<uint8_t> bytes = desktoptest::DeviceBitmap(90, 61);
    const std::string path = Write("s.bmp", bytes);
    for (const QSize size : {QSize(30, 20), QSize(7, 61), QSize(200, 3), QSize(90, 61)}) {
        QImageReader reader(QString::fromStdString(path));
        reader.setScaledSize(size);
        const QImage image = reader.read();
        ASSERT_EQ(image.size(), size) << reader.errorString().toStdString();
        EXPECT_EQ(QImagePixels(image), ScaledPixels(bytes, size.width(), size.height()));
    }
}

TEST_F(ImagePlugin, StaysWithinQtsAllocationLimitUnlessScaledDown) {
    const std::string path = Write("big.bmp", desktoptest::DeviceBitmap(1200, 1000));
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(2);  // MB; the picture needs about 4.6
    QImageReader whole(QString::fromStdString(path));
    EXPECT_EQ(whole.size(), QSize(1200, 1000));
    EXPECT_TRUE(whole.read().isNull());
    QImageReader scaled(QString::fromStdString(path));
    scaled.setScaledSize(QSize(240, 200));
    EXPECT_EQ(scaled.read().size(), QSize(240, 200));
    QImageReader::setAllocationLimit(limit);
}

TEST_F(ImagePlugin, ReadsFromASequentialDeviceAPieceAtATime) {
    const std::vector<uint8_t> bytes = desktoptest::DeviceBitmap(37, 19);
    const std::string path = Write("seq.bmp", bytes);
    // A process's output is sequential: nothing can be sought, everything is read once.
    QProcess cat;
    cat.start(QStringLiteral("cat"), {QString::fromStdString(path)});
    ASSERT_TRUE(cat.waitForFinished());
    QImageReader reader(&cat, "rlebmp");
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(QImagePixels(image), EnginePixels(path));
}

TEST_F(ImagePlugin, WritesTheEnginesBytes) {
    for (const char* name : {"basn6a08.png", "basn2c08.png", "basn3p08.png", "basn0g08.png"}) {
        const std::string source = kSuite + name;
        const std::vector<uint8_t> expected = EngineRLE(source, Path("engine.bmp"));
        ASSERT_FALSE(expected.empty()) << name;
        QImageWriter writer(QString::fromStdString(Path("plugin.bmp")), "rlebmp");
        ASSERT_TRUE(writer.write(QImage(QString::fromStdString(source), "png")))
            << name << writer.errorString().toStdString();
        EXPECT_EQ(testsupport::ReadBytes(Path("plugin.bmp")), expected) << name;
    }
}

TEST_F(ImagePlugin, QualityIsTheAccuracyAndATextLimitsThePalette) {
    const std::string source = kSuite + "basn6a08.png";
    const std::vector<uint8_t> expected = EngineRLE(source, Path("engine.bmp"), 92, 16);
    const std::vector<uint8_t> plain = EngineRLE(source, Path("plain.bmp"));
    ASSERT_NE(expected, plain);
    QImageWriter writer(QString::fromStdString(Path("plugin.bmp")), "rlebmp");
    writer.setQuality(92);
    writer.setText(QStringLiteral("MaxPaletteSize"), QStringLiteral("16"));
    ASSERT_TRUE(writer.write(QImage(QString::fromStdString(source), "png")));
    EXPECT_EQ(testsupport::ReadBytes(Path("plugin.bmp")), expected);
}

TEST_F(ImagePlugin, WritingBmpStillMakesAWindowsBitmap) {
    QImage image(5, 5, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(QString::fromStdString(Path("windows.bmp"))));
    const std::vector<uint8_t> bytes = testsupport::ReadBytes(Path("windows.bmp"));
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
}

TEST_F(ImagePlugin, ARoundTripThroughThePluginKeepsAnOpaqueImage) {
    QImage image(12, 7, QImage::Format_RGB32);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 12; ++x) {
            image.setPixel(x, y, qRgb(x * 20, y * 30, 0));
        }
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(image.save(&buffer, "rlebmp"));
    const QImage back = QImage::fromData(buffer.data(), "rlebmp");
    ASSERT_EQ(back.size(), image.size());
    // RGB565: each channel comes back within the rounding of its 5 or 6 bits.
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 12; ++x) {
            EXPECT_NEAR(qRed(back.pixel(x, y)), qRed(image.pixel(x, y)), 4);
            EXPECT_NEAR(qGreen(back.pixel(x, y)), qGreen(image.pixel(x, y)), 2);
        }
    }
}

}  // namespace
