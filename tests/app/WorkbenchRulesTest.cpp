// The workbench's rules without a window: zoom steps, the point-to-pixel mapping,
// painting only what is visible, the inspector's texts, palette counts and the
// device preview against a real encode and decode.
#include <gtest/gtest.h>

#include <QPainter>
#include <cmath>

#include "app/DevicePreview.h"
#include "app/PaletteUse.h"
#include "app/PixelInspector.h"
#include "app/PreviewImage.h"
#include "app/ZoomRules.h"
#include "app/ZoomedPainter.h"
#include "engine/RLEIndexMap.h"
#include "engine/ZorixImgEngine.h"
#include "engine/modColor.h"
#include "imaging/c32bppDIB.h"
#include "support/RLEBuilder.h"

using namespace zorix;

namespace {

QImage Checkered(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb(x * 37 % 256, y * 53 % 256, (x + y) % 2 ? 255 : 0));
        }
    }
    return image;
}

// An ordinary image with straight colours and varied opacity.
std::unique_ptr<quenda::c32bppDIB> Ordinary(int width, int height) {
    auto image = std::make_unique<quenda::c32bppDIB>();
    image->InitializeDIB(width, height);
    image->setAlpha(true);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t color =
                static_cast<uint32_t>(x * 40) | (static_cast<uint32_t>(y * 12) << 8);
            image->SetPixel(x, y, color, x == 0 ? 0 : 255);
        }
    }
    return image;
}

}  // namespace

TEST(ZoomRules, StepsRunFromOneSixteenthToThirtyTwo) {
    const std::span<const double> steps = ZoomSteps();
    ASSERT_FALSE(steps.empty());
    EXPECT_DOUBLE_EQ(steps.front(), 1.0 / 16);
    EXPECT_DOUBLE_EQ(steps.back(), 32);
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
    EXPECT_NE(std::find(steps.begin(), steps.end(), 1.0), steps.end());
    // Above 100 % every step is a whole factor, so pixels stay equal squares.
    for (const double step : steps) {
        if (step > 1) {
            EXPECT_EQ(step, std::floor(step));
        }
    }
    // In and out walk the steps one at a time and stop at the ends.
    const auto above =
        static_cast<size_t>(steps.end() - std::upper_bound(steps.begin(), steps.end(), 1.0));
    double scale = 1;
    size_t walked = 0;
    for (; scale < kMaxZoom; ++walked) {
        scale = ZoomIn(scale);
    }
    EXPECT_EQ(walked, above);
    EXPECT_EQ(ZoomIn(kMaxZoom), kMaxZoom);
    for (walked = 0; scale > kMinZoom; ++walked) {
        scale = ZoomOut(scale);
    }
    EXPECT_EQ(walked, steps.size() - 1);
    EXPECT_EQ(ZoomOut(kMinZoom), kMinZoom);
    // A fitted scale between steps goes to the neighbouring steps.
    EXPECT_DOUBLE_EQ(ZoomIn(0.3), 1.0 / 3);
    EXPECT_DOUBLE_EQ(ZoomOut(0.3), 1.0 / 4);
    EXPECT_DOUBLE_EQ(ZoomIn(2), 3);
    EXPECT_DOUBLE_EQ(ZoomOut(2), 1);
}

TEST(ZoomRules, TextsAndSizes) {
    const std::vector<std::pair<double, QString>> texts = {
        {1.0 / 16, "6.25 %"}, {1.0 / 3, "33.3 %"}, {0.5, "50 %"},
        {1, "100 %"},         {8, "800 %"},        {32, "3200 %"}};
    for (const auto& [scale, text] : texts) {
        EXPECT_EQ(ZoomText(scale), text);
    }
    EXPECT_EQ(ZoomedSize({16, 10}, 8), QSize(128, 80));
    EXPECT_EQ(ZoomedSize({8000, 8000}, 1.0 / 8), QSize(1000, 1000));
    EXPECT_EQ(ZoomedSize({3, 40}, 1.0 / 16), QSize(1, 3));  // never below one pixel
    EXPECT_TRUE(ZoomedSize({0, 5}, 2).isEmpty());
}

// At every step, each point of the shown picture maps to the pixel drawn there:
// the point lies in that pixel's span, pixels follow in order, none is skipped when
// enlarging, and points off the picture map to none.
TEST(ZoomRules, PointToPixelAtEveryZoom) {
    for (const QSize image : {QSize(7, 5), QSize(16, 16), QSize(320, 240)}) {
        for (const double step : ZoomSteps()) {
            const QSize shown = ZoomedSize(image, step);
            int previous = -1;
            for (int x = 0; x < shown.width(); ++x) {
                const std::optional<QPoint> pixel = PixelAt({x, 0}, shown, image);
                ASSERT_TRUE(pixel) << step;
                const int p = pixel->x();
                ASSERT_GE(p, previous);
                ASSERT_LT(p, image.width());
                // The point lies inside the pixel's span on screen.
                EXPECT_LE(static_cast<long long>(p) * shown.width(),
                          static_cast<long long>(x) * image.width());
                EXPECT_GT(static_cast<long long>(p + 1) * shown.width(),
                          static_cast<long long>(x) * image.width());
                if (step >= 1) {
                    EXPECT_LE(p - previous, 1);
                }
                previous = p;
            }
            if (step >= 1) {
                EXPECT_EQ(previous, image.width() - 1);
            }
            EXPECT_FALSE(PixelAt({shown.width(), 0}, shown, image));
            EXPECT_FALSE(PixelAt({-1, 0}, shown, image));
            EXPECT_FALSE(PixelAt({0, shown.height()}, shown, image));
        }
    }
    EXPECT_EQ(PixelAt({15, 23}, {128, 128}, {16, 16}), QPoint(1, 2));
}

TEST(ZoomRules, ZoomKeepsThePointUnderThePointer) {
    // A 100-pixel picture at the view's left edge doubled: the point under x 30
    // (picture pixel 30) moves to 60, so the view scrolls by 30.
    EXPECT_EQ(AnchoredScroll(30, 0, 100, 200), 30);
    // Scrolled by 50 (edge at -50) and pointer at 10: pixel 60 goes to 120.
    EXPECT_EQ(AnchoredScroll(10, -50, 100, 200), 110);
    // Halving a centred picture whose edge lies at 40.
    EXPECT_EQ(AnchoredScroll(90, 40, 100, 50), -65);
    EXPECT_EQ(AnchoredScroll(5, 0, 0, 10), 0);
}

// Enlarged, every painted pixel is the source pixel under it, even when only a
// part of the view is repainted: the edges are sharp.
TEST(ZoomedPainter, EnlargedPixelsAreSharpSquaresAndOnlyTheVisiblePartIsPainted) {
    const QImage source = Checkered(13, 9);
    ZoomedPainter painter;
    painter.Set(source);
    for (const double step : {2.0, 8.0, 32.0}) {
        const QSize shown = ZoomedSize(source.size(), step);
        const QRect visible(5, 3, 61, 47);  // a part, starting inside a pixel
        QImage canvas(shown, QImage::Format_RGB32);
        canvas.fill(Qt::magenta);
        {
            QPainter p(&canvas);
            painter.Paint(p, {0, 0}, shown, visible);
        }
        // Painted: the visible part, at most rounded out to whole enlarged pixels.
        const int s = static_cast<int>(step);
        const QRect painted(
            QPoint(visible.left() / s * s, visible.top() / s * s),
            QPoint((visible.right() / s + 1) * s - 1, (visible.bottom() / s + 1) * s - 1));
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                const QPoint pixel = *PixelAt({x, y}, shown, source.size());
                if (visible.contains(x, y)) {
                    ASSERT_EQ(canvas.pixel(x, y), source.pixel(pixel))
                        << step << " " << x << "," << y;
                } else if (!painted.contains(x, y)) {
                    ASSERT_EQ(canvas.pixel(x, y), QColor(Qt::magenta).rgb()) << x << "," << y;
                }
            }
        }
    }
}

TEST(ZoomedPainter, ReductionsComeFromHalvedCopies) {
    QImage source(6, 3, QImage::Format_RGB32);
    for (int x = 0; x < 6; ++x) {
        for (int y = 0; y < 3; ++y) {
            source.setPixel(x, y, qRgb(x * 40, y * 100, 8));
        }
    }
    const QImage half = HalvedImage(source);
    ASSERT_EQ(half.size(), QSize(3, 2));
    // (0,0) is the mean of x 0..1, y 0..1; the last row repeats row 2.
    EXPECT_EQ(half.pixel(0, 0), qRgb(20, 50, 8));
    EXPECT_EQ(half.pixel(2, 1), qRgb(180, 200, 8));

    ZoomedPainter painter;
    painter.Set(Checkered(800, 800));
    EXPECT_EQ(painter.SourceFor({100, 100}).size(), QSize(100, 100));
    EXPECT_EQ(painter.SourceFor({150, 150}).size(), QSize(200, 200));
    EXPECT_EQ(painter.SourceFor({800, 800}).size(), QSize(800, 800));
    // A flat picture stays flat at every reduction.
    QImage flat(640, 480, QImage::Format_RGB32);
    flat.fill(qRgb(10, 200, 30));
    painter.Set(flat);
    for (const double step : ZoomSteps()) {
        if (step >= 1) {
            break;
        }
        const QSize shown = ZoomedSize(flat.size(), step);
        QImage canvas(shown, QImage::Format_RGB32);
        QPainter p(&canvas);
        painter.Paint(p, {0, 0}, shown, QRect(QPoint(0, 0), shown));
        p.end();
        EXPECT_EQ(canvas.pixel(shown.width() / 2, shown.height() / 2), qRgb(10, 200, 30)) << step;
    }
}

// The inspector reads a device bitmap's entries from the file and shows what the
// engine's own palette makes of them.
TEST(PixelInspector, DevicePixelsAgreeWithTheEnginesPalette) {
    testsupport::RLEBuilder b;
    b.width = 4;
    b.height = 1;
    b.hasAlpha = true;
    b.colors = {0xF81F, 0x07E0};
    b.alphas = {0, 32, 16};
    b.rows = {{0xFF, 0x01, 0x01, 0x02, 0x01}};
    const std::vector<uint8_t> file = b.Build();
    const std::string path = testsupport::WriteTempFile("inspect.bmp", file);
    quenda::ZorixImgEngine engine;
    ASSERT_TRUE(engine.LoadImage(path));
    const quenda::RLEIndexMapResult read = quenda::ReadRLEIndexMap(file);
    ASSERT_TRUE(read.success);
    EXPECT_EQ(DevicePixelText(read.map, {1, 0}),
              "x 1, y 0 | Index 1 | RGB565 0xF81F | Alpha 32/32 | #FF00FF");
    EXPECT_EQ(DevicePixelText(read.map, {2, 0}),
              "x 2, y 0 | Index 2 | RGB565 0x07E0 | Alpha 16/32 | #00FF00");
    EXPECT_EQ(DevicePixelText(read.map, {0, 0}).section(" | ", 1, 1), "Index 0");
    EXPECT_TRUE(DevicePixelText(read.map, {4, 0}).isEmpty());
    // The shown colour is the engine's pixel colour for every opaque pixel.
    for (int x = 0; x < 4; ++x) {
        uint8_t alpha = 0;
        const auto color = static_cast<uint32_t>(engine.Image()->GetPixel(x, 0, &alpha));
        if (alpha == 255) {
            EXPECT_TRUE(DevicePixelText(read.map, {x, 0}).endsWith(HexColor(color))) << x;
        }
    }
}

TEST(PixelInspector, OrdinaryPixelsAsStraightRgba) {
    const auto image = Ordinary(3, 2);
    EXPECT_EQ(OrdinaryPixelText(*image, {2, 1}), "x 2, y 1 | RGBA 80, 12, 0, 255");
    EXPECT_EQ(OrdinaryPixelText(*image, {0, 0}), "x 0, y 0 | RGBA 0, 0, 0, 0");
    EXPECT_TRUE(OrdinaryPixelText(*image, {3, 0}).isEmpty());
}

TEST(PaletteUse, CountsUsesAndColours) {
    quenda::RLEIndexMap map;
    map.width = 3;
    map.height = 2;
    map.palette.resize(4);
    map.indices = {0, 1, 1, 3, 3, 3};
    EXPECT_EQ(PaletteUseCounts(map), (std::vector<uint64_t>{1, 2, 0, 3}));

    // Six pixels: two transparent ones count once; (40,0,0) and (41,0,0) are two
    // colours but one RGB565 colour.
    quenda::c32bppDIB image;
    image.InitializeDIB(3, 2);
    image.setAlpha(true);
    image.SetPixel(0, 0, 0, 0);
    image.SetPixel(1, 0, 0xFFFFFF, 0);
    image.SetPixel(2, 0, 40, 255);
    image.SetPixel(0, 1, 41, 255);
    image.SetPixel(1, 1, 0xFF0000, 255);
    image.SetPixel(2, 1, 0xFF0000, 128);
    const ColorCounts counts = CountColors(image);
    EXPECT_EQ(counts.distinct, 5u);
    EXPECT_EQ(counts.distinct565, 4u);
}

// The preview is exactly what saving as a device bitmap and opening it again shows.
TEST(DevicePreview, MatchesARealEncodeAndDecode) {
    quenda::ZorixImgEngine source;
    const auto image = Ordinary(30, 20);
    const std::string png = testsupport::MakeTempDir("preview") + "/source.png";
    ASSERT_TRUE(image->SaveToFile_PNG(png));
    ASSERT_TRUE(source.LoadImage(png));
    source.setImageBgColor(0x808080);
    source.setRLEColorAccuracy(95);
    const QImage original = EnginePicture(source);
    const DevicePreview preview = MakeDevicePreview(*source.Image(), 95, 0, 0x808080, original);
    ASSERT_TRUE(preview.success) << preview.failureReason;

    const std::string saved = testsupport::MakeTempDir("preview") + "/saved.bmp";
    ASSERT_TRUE(source.SaveImageAs(saved, quenda::IS_BMP_RL));
    quenda::ZorixImgEngine reopened;
    reopened.setImageBgColor(0x808080);
    ASSERT_TRUE(reopened.LoadImage(saved));
    EXPECT_EQ(preview.picture, EnginePicture(reopened));
    EXPECT_EQ(preview.paletteSize, reopened.RLEColors());
    EXPECT_EQ(preview.map.width, 30);
    EXPECT_DOUBLE_EQ(preview.psnr, PicturePsnr(original, EnginePicture(reopened)));
    EXPECT_GT(preview.psnr, 20);
    EXPECT_FALSE(std::isinf(preview.psnr));  // RGB565 cannot hold every colour
    EXPECT_EQ(DevicePreviewText(preview), QStringLiteral("Device preview: %1 colours | PSNR %2 dB")
                                              .arg(preview.paletteSize)
                                              .arg(preview.psnr, 0, 'f', 1));
}

TEST(DevicePreview, PsnrAndTexts) {
    const QImage a = Checkered(10, 10);
    EXPECT_TRUE(std::isinf(PicturePsnr(a, a)));
    QImage b = a;
    b.setPixel(0, 0, qRgb(qRed(a.pixel(0, 0)) ^ 0x10, qGreen(a.pixel(0, 0)), qBlue(a.pixel(0, 0))));
    // One channel of 300 off by 16: MSE 256 / 300.
    EXPECT_NEAR(PicturePsnr(a, b), 10 * std::log10(255.0 * 255.0 * 300 / 256), 1e-9);
    EXPECT_EQ(PicturePsnr(a, Checkered(5, 5)), 0);

    DevicePreview failed;
    failed.failureReason = "a row has more than 251 colours";
    EXPECT_EQ(DevicePreviewText(failed), "Device preview: a row has more than 251 colours");
    DevicePreview same;
    same.success = true;
    same.paletteSize = 3;
    same.psnr = PicturePsnr(a, a);
    EXPECT_EQ(DevicePreviewText(same), "Device preview: 3 colours | no loss");
}
