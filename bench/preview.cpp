// The preview's picture of a 1920 x 1080 device bitmap with alpha: the engine's
// composed picture taken as it is, beside the earlier way that composed it over
// the background a second time, measured in the same run.
#include <benchmark/benchmark.h>

#include <QImage>
#include <vector>

#include "app/PreviewImage.h"
#include "engine/ZorixImgEngine.h"
#include "imaging/c32bppDIB.h"
#include "support/RLEBuilder.h"

namespace {

constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;
constexpr int32_t kBackground = 0x00808080;

quenda::ZorixImgEngine& LoadedEngine() {
    static quenda::ZorixImgEngine engine;
    static bool loaded = false;
    if (!loaded) {
        loaded = engine.LoadImage(testsupport::WriteTempFile(
            "bench_preview.bmp", testsupport::VariedAlphaFile(kWidth, kHeight)));
        engine.setImageBgColor(kBackground);
    }
    return engine;
}

// The reference: every pixel composed over the background once more.
uint8_t Over(uint8_t premultiplied, uint8_t alpha, uint8_t background) {
    const int value = premultiplied + (background * (255 - alpha) + 127) / 255;
    return static_cast<uint8_t>(value > 255 ? 255 : value);
}

QImage ComposedAgain(const quenda::ZorixImgEngine& engine) {
    const std::unique_ptr<quenda::c32bppDIB> picture = engine.Picture();
    const int width = picture->Width();
    const int height = picture->Height();
    QImage image(width, height, QImage::Format_RGB32);
    const uint8_t bg = kBackground & 0xFF;
    for (int y = 0; y < height; ++y) {
        const uint8_t* src =
            picture->BitsPointer() + static_cast<size_t>(height - 1 - y) * width * 4;
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x, src += 4) {
            dst[x] =
                qRgb(Over(src[2], src[3], bg), Over(src[1], src[3], bg), Over(src[0], src[3], bg));
        }
    }
    return image;
}

void BM_PreviewComposedTwice(benchmark::State& state) {
    const quenda::ZorixImgEngine& engine = LoadedEngine();
    for (auto _ : state) {
        QImage image = ComposedAgain(engine);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PreviewComposedTwice)->Unit(benchmark::kMillisecond);

void BM_PreviewPicture(benchmark::State& state) {
    const quenda::ZorixImgEngine& engine = LoadedEngine();
    for (auto _ : state) {
        QImage image = zorix::EnginePicture(engine);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PreviewPicture)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
