// Picture and Thumbnail of a 1920 x 1080 image with alpha, beside plain copies of
// the same bytes measured in the same run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "engine/ZorixImgEngine.h"
#include "imaging/c32bppDIB.h"
#include "support/RLEBuilder.h"

using namespace quenda;

namespace {

constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;

// An engine holding a full-HD device bitmap with 250 colours of varied opacity.
ZorixImgEngine& LoadedEngine() {
    static ZorixImgEngine engine;
    static bool loaded = false;
    if (!loaded) {
        testsupport::RLEBuilder b;
        b.hasAlpha = true;
        b.width = kWidth;
        b.height = kHeight;
        b.alphas.push_back(0);
        for (int i = 1; i <= 250; ++i) {
            b.colors.push_back(static_cast<uint16_t>(i * 263));
            b.alphas.push_back(static_cast<uint8_t>(i % 33));
        }
        for (int32_t y = 0; y < kHeight; ++y) {
            std::vector<uint8_t> codes(kWidth);
            for (int32_t x = 0; x < kWidth; ++x) {
                codes[x] = static_cast<uint8_t>((x + y) % 251);
            }
            b.rows.push_back(testsupport::EncodeCodesRow(codes));
        }
        loaded = engine.LoadImage(testsupport::WriteTempFile("bench_picture.bmp", b.Build()));
    }
    return engine;
}

void BM_PlainCopyIntoExistingBuffer(benchmark::State& state) {
    const c32bppDIB* image = LoadedEngine().Image();
    std::vector<uint8_t> target(image->ByteCount());
    for (auto _ : state) {
        std::memcpy(target.data(), image->BitsPointer(), image->ByteCount());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlainCopyIntoExistingBuffer)->Unit(benchmark::kMillisecond);

void BM_PlainCopyIntoNewImage(benchmark::State& state) {
    const c32bppDIB* image = LoadedEngine().Image();
    for (auto _ : state) {
        std::unique_ptr<c32bppDIB> copy;
        image->CopyImageTo(copy);
        benchmark::DoNotOptimize(copy->BitsPointer());
    }
}
BENCHMARK(BM_PlainCopyIntoNewImage)->Unit(benchmark::kMillisecond);

void BM_Picture(benchmark::State& state) {
    ZorixImgEngine& engine = LoadedEngine();
    engine.setImageBgColor(0x00336699);
    for (auto _ : state) {
        auto picture = engine.Picture();
        benchmark::DoNotOptimize(picture->BitsPointer());
    }
}
BENCHMARK(BM_Picture)->Unit(benchmark::kMillisecond);

void BM_Thumbnail64KeepAspect(benchmark::State& state) {
    ZorixImgEngine& engine = LoadedEngine();
    for (auto _ : state) {
        auto thumb = engine.Thumbnail(64, 64, true);
        benchmark::DoNotOptimize(thumb->BitsPointer());
    }
}
BENCHMARK(BM_Thumbnail64KeepAspect)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
