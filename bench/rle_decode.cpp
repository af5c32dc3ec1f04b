// Decoding a 1024 x 768 device bitmap of about 200 colours, against a plain copy of
// the decoded bytes measured in the same run. Both start from caches emptied of their
// bytes: a copy out of the image just decoded into a buffer just written measures the
// cache rather than the copy, and varied by twice between runs.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <random>

#include "engine/RLEDecoder.h"
#include "engine/ZorixImgEngineEvents.h"
#include "imaging/c32bppDIB.h"
#include "support/RLEBuilder.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// A screen-like picture: runs of random length and colour, some transparent.
std::vector<uint8_t> MakeFile() {
    testsupport::RLEBuilder b;
    b.width = kWidth;
    b.height = kHeight;
    b.hasAlpha = true;
    std::mt19937 random(7);
    for (int i = 1; i <= 200; ++i) {
        b.colors.push_back(static_cast<uint16_t>(random()));
    }
    b.alphas.assign(201, 32);
    b.alphas[0] = 0;
    for (int i = 1; i <= 200; i += 9) {
        b.alphas[i] = static_cast<uint8_t>(random() % 32);
    }
    for (int y = 0; y < kHeight; ++y) {
        std::vector<uint8_t> codes;
        while (codes.size() < kWidth) {
            const size_t run = 1 + random() % 12;
            const uint8_t code = random() % 10 == 0 ? 0 : static_cast<uint8_t>(1 + random() % 200);
            codes.insert(codes.end(), std::min(run, kWidth - codes.size()), code);
        }
        b.rows.push_back(testsupport::EncodeCodesRow(codes));
    }
    return b.Build();
}

// Writes a buffer much larger than the last-level cache, so neither side finds the
// other's bytes in it.
void EvictCaches(std::vector<uint8_t>& scratch) {
    std::memset(scratch.data(), static_cast<int>(scratch[0] + 1), scratch.size());
    benchmark::ClobberMemory();
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

void BM_DecodeAgainstCopy(benchmark::State& state) {
    const std::vector<uint8_t> file = MakeFile();
    quenda::ZorixImgEngineEvents noEvents;
    quenda::c32bppDIB image;
    std::vector<uint8_t> copy(static_cast<size_t>(kWidth) * kHeight * 4);
    std::vector<uint8_t> scratch(size_t{128} << 20);
    double decodeTotal = 0, copyTotal = 0;
    for (auto _ : state) {
        EvictCaches(scratch);
        auto t0 = std::chrono::steady_clock::now();
        const quenda::RLEDecodeResult r = quenda::DecodeRLEBytes(file, "bench", image, noEvents);
        auto t1 = std::chrono::steady_clock::now();
        EvictCaches(scratch);
        auto t2 = std::chrono::steady_clock::now();
        std::memcpy(copy.data(), image.BitsPointer(), copy.size());
        benchmark::ClobberMemory();
        auto t3 = std::chrono::steady_clock::now();
        if (!r.success) {
            state.SkipWithError("decoding failed");
            return;
        }
        decodeTotal += Seconds(t1 - t0);
        copyTotal += Seconds(t3 - t2);
        state.SetIterationTime(Seconds(t1 - t0));
    }
    state.counters["decode_ms"] = decodeTotal * 1e3 / state.iterations();
    state.counters["copy_ms"] = copyTotal * 1e3 / state.iterations();
    state.counters["ratio_to_copy"] = decodeTotal / copyTotal;
}

}  // namespace

BENCHMARK(BM_DecodeAgainstCopy)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_MAIN();
