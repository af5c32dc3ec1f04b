// Loading a 1920 x 1080 24-bit bitmap through the reader chain, against a plain
// copy of its pixel bytes measured in the same run. Goal: ratio at most 3.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>

#include "imaging/c32bppDIB.h"
#include "support/BmpBuilder.h"

namespace {

constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;

const std::vector<uint8_t>& TestBitmap() {
    static const std::vector<uint8_t> file = [] {
        std::vector<uint32_t> values(static_cast<size_t>(kWidth) * kHeight);
        for (size_t i = 0; i < values.size(); ++i) {
            values[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
        }
        testsupport::BmpBuilder b;
        b.width = kWidth;
        b.height = kHeight;
        b.bitsPerPixel = 24;
        b.pixelData = testsupport::PackRows(kWidth, kHeight, 24, values, false);
        return b.Build();
    }();
    return file;
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

void BM_Load24BitBmpVsCopy(benchmark::State& state) {
    const std::vector<uint8_t>& file = TestBitmap();
    const size_t pixelOffset = 54;
    double loadTime = 0, copyTime = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        {
            quenda::c32bppDIB image;
            benchmark::DoNotOptimize(image.LoadPicture_Stream(file));
            benchmark::DoNotOptimize(image.BitsPointer());
        }
        auto t1 = std::chrono::steady_clock::now();
        {
            std::vector<uint8_t> copy(file.begin() + pixelOffset, file.end());
            benchmark::DoNotOptimize(copy.data());
            benchmark::ClobberMemory();
        }
        auto t2 = std::chrono::steady_clock::now();
        loadTime += Seconds(t1 - t0);
        copyTime += Seconds(t2 - t1);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["load_ms"] = loadTime / n * 1000;
    state.counters["copy_ms"] = copyTime / n * 1000;
    state.counters["ratio"] = loadTime / copyTime;
}
BENCHMARK(BM_Load24BitBmpVsCopy)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
