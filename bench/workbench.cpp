// The viewer's workbench: repainting an 8000 x 8000 picture zoomed to 800 % and to
// 1/8, only the visible part (reductions from a halved copy), beside drawing or
// scaling the whole picture for every paint; and the device preview of a 1920 x 1080
// picture, beside the same conversion through a saved file and a second load.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <filesystem>

#include "app/DevicePreview.h"
#include "app/PreviewImage.h"
#include "app/ZoomRules.h"
#include "app/ZoomedPainter.h"
#include "engine/ZorixImgEngine.h"
#include "imaging/c32bppDIB.h"
#include "support/RLEBuilder.h"

namespace {

constexpr int kSide = 8000;
const QSize kViewport(1000, 800);

const QImage& BigPicture() {
    static const QImage picture = [] {
        QImage image(kSide, kSide, QImage::Format_RGB32);
        for (int y = 0; y < kSide; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < kSide; ++x) {
                row[x] = qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF);
            }
        }
        return image;
    }();
    return picture;
}

// The middle of the zoomed picture, as a view scrolled there shows it.
QRect VisiblePart(QSize shown) {
    const QPoint start((shown.width() - kViewport.width()) / 2,
                       (shown.height() - kViewport.height()) / 2);
    return QRect(QPoint(std::max(0, start.x()), std::max(0, start.y())), kViewport) &
           QRect(QPoint(0, 0), shown);
}

void Repaint(benchmark::State& state, double scale) {
    static zorix::ZoomedPainter painter;
    painter.Set(BigPicture());
    const QSize shown = zorix::ZoomedSize(BigPicture().size(), scale);
    const QRect visible = VisiblePart(shown);
    QImage canvas(kViewport, QImage::Format_RGB32);
    {
        QPainter warm(&canvas);  // builds the halved copies once, as the first paint does
        painter.Paint(warm, -visible.topLeft(), shown, visible);
    }
    for (auto _ : state) {
        QPainter p(&canvas);
        painter.Paint(p, -visible.topLeft(), shown, visible);
        p.end();
        benchmark::DoNotOptimize(canvas.constBits());
    }
}

void BM_Repaint800(benchmark::State& state) {
    Repaint(state, 8);
}
void BM_RepaintEighth(benchmark::State& state) {
    Repaint(state, 1.0 / 8);
}

// References: the whole picture scaled for every paint, as a viewer without
// visible-part painting does (at 800 % Qt is left to clip the enlarged drawing).
void BM_Reference_WholeScaledEighth(benchmark::State& state) {
    const QSize shown = zorix::ZoomedSize(BigPicture().size(), 1.0 / 8);
    QImage canvas(kViewport, QImage::Format_RGB32);
    for (auto _ : state) {
        const QImage scaled =
            BigPicture().scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QPainter p(&canvas);
        p.drawImage(0, 0, scaled);
        p.end();
        benchmark::DoNotOptimize(canvas.constBits());
    }
}

void BM_Reference_WholeDrawn800(benchmark::State& state) {
    const QSize shown = zorix::ZoomedSize(BigPicture().size(), 8);
    const QRect visible = VisiblePart(shown);
    QImage canvas(kViewport, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&canvas);
        p.drawImage(QRect(-visible.topLeft(), shown), BigPicture());
        p.end();
        benchmark::DoNotOptimize(canvas.constBits());
    }
}

// A 1920 x 1080 picture with smooth shading, at most 240 colours a row (what the
// encoder takes today).
const quenda::c32bppDIB& WidePicture() {
    static const std::unique_ptr<quenda::c32bppDIB> image = [] {
        auto dib = std::make_unique<quenda::c32bppDIB>();
        dib->InitializeDIB(1920, 1080);
        for (int y = 0; y < 1080; ++y) {
            for (int x = 0; x < 1920; ++x) {
                const int band = x / 8;  // 240 bands a row
                const uint32_t red = static_cast<uint32_t>(band);
                const uint32_t green = static_cast<uint32_t>((y / 4 + band) & 0xFF);
                const uint32_t blue = static_cast<uint32_t>((y / 5) & 0xFF);
                dib->SetPixel(x, y, red | (green << 8) | (blue << 16), 255);
            }
        }
        return dib;
    }();
    return *image;
}

void BM_DevicePreview1080(benchmark::State& state) {
    const QImage original = zorix::OpaqueRowsToImage(WidePicture().BitsPointer(), 1920, 1080);
    for (auto _ : state) {
        const zorix::DevicePreview preview =
            zorix::MakeDevicePreview(WidePicture(), 100, 0, 0x808080, original);
        if (!preview.success) {
            state.SkipWithError(preview.failureReason.c_str());
            break;
        }
        benchmark::DoNotOptimize(preview.picture.constBits());
    }
}

// The reference: what a user did before, saving a device bitmap and opening it.
void BM_Reference_SaveAndReopen1080(benchmark::State& state) {
    const std::string folder = testsupport::MakeTempDir("bench_workbench");
    const std::string png = folder + "/wide.png";
    const_cast<quenda::c32bppDIB&>(WidePicture()).SaveToFile_PNG(png);
    quenda::ZorixImgEngine engine;
    engine.LoadImage(png);
    for (auto _ : state) {
        const std::string saved = folder + "/wide.bmp";
        if (!engine.SaveImageAs(saved, quenda::IS_BMP_RL)) {
            state.SkipWithError(engine.LastFailureReason().c_str());
            break;
        }
        quenda::ZorixImgEngine reopened;
        reopened.LoadImage(saved);
        const QImage picture = zorix::EnginePicture(reopened);
        benchmark::DoNotOptimize(picture.constBits());
    }
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
}

}  // namespace

BENCHMARK(BM_Repaint800)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reference_WholeDrawn800)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintEighth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reference_WholeScaledEighth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DevicePreview1080)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reference_SaveAndReopen1080)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
