// Speed of the device bitmap encoder, each figure beside the plain reference
// algorithm measured in the same process on the same image.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <map>
#include <random>

#include "engine/EncodeEventLog.h"
#include "engine/PlainRLEEncoder.h"
#include "engine/RLEEncoder.h"
#include "engine/TestImages.h"

namespace {

using enginetest::Pixel;
using Clock = std::chrono::steady_clock;

// CPU seconds of this thread: the machine running the benchmarks is shared, and
// waiting for a core is not the encoder's time.
double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Counts events without keeping them, as a progress display would.
class EventCounter : public quenda::ZorixImgEngineEvents {
  public:
    size_t events = 0;
    void RLEEncoding(const std::string&, int16_t, const std::string&, const std::string&, float,
                     int32_t) override {
        ++events;
    }
};

const quenda::c32bppDIB& FewColours() {
    static const auto image = [] {
        const std::vector<uint32_t> colors = enginetest::DistinctColors(249, 5);
        std::mt19937 rng(3);
        auto last = std::make_shared<Pixel>(Pixel{colors[0], 255});
        // Runs of a few pixels, like a drawing or a map.
        return enginetest::MakeImage(1024, 768, false, [&](int, int) {
            if (rng() % 4 == 0) {
                *last = Pixel{colors[rng() % colors.size()], 255};
            }
            return *last;
        });
    }();
    return *image;
}

const quenda::c32bppDIB& Photo1024() {
    static const auto image = enginetest::PhotoLike(1024, 768, 1.5);
    return *image;
}

const quenda::c32bppDIB& Photo256() {
    static const auto image = enginetest::PhotoLike(256, 256, 3.0);
    return *image;
}

struct PlainRun {
    double seconds = 0;
    double cpuSeconds = 0;
    std::vector<uint8_t> bytes;
};

// The plain algorithm is slow: run it once per image and setting.
const PlainRun& Plain(const quenda::c32bppDIB& image, float accuracy, int32_t maxPalette) {
    static std::map<std::tuple<const void*, float, int32_t>, PlainRun> runs;
    const auto key = std::make_tuple(static_cast<const void*>(&image), accuracy, maxPalette);
    auto it = runs.find(key);
    if (it == runs.end()) {
        EventCounter events;
        const auto start = Clock::now();
        const double cpuStart = ThreadSeconds();
        plain::Outcome out = plain::EncodeRLE("bench.bmp", image, accuracy, maxPalette, events);
        PlainRun run;
        run.cpuSeconds = ThreadSeconds() - cpuStart;
        run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
        run.bytes = std::move(out.bytes);
        it = runs.emplace(key, std::move(run)).first;
    }
    return it->second;
}

void EncodeAgainstPlain(benchmark::State& state, const quenda::c32bppDIB& image, float accuracy,
                        int32_t maxPalette, bool measurePlain) {
    const PlainRun* plain = measurePlain ? &Plain(image, accuracy, maxPalette) : nullptr;
    double seconds = 0;
    double cpuSeconds = 0;
    size_t bytes = 0;
    for (auto _ : state) {
        EventCounter events;
        const auto start = Clock::now();
        const double cpuStart = ThreadSeconds();
        quenda::RLEEncodeResult result =
            quenda::EncodeRLE("bench.bmp", image, accuracy, maxPalette, events);
        cpuSeconds += ThreadSeconds() - cpuStart;
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
        if (!result.success || (plain && result.bytes != plain->bytes)) {
            state.SkipWithError("the bytes differ from the plain algorithm's");
            return;
        }
        bytes = result.bytes.size();
        benchmark::DoNotOptimize(result.bytes.data());
    }
    const double runs = static_cast<double>(state.iterations());
    const double perRun = seconds / runs, cpuPerRun = cpuSeconds / runs;
    const double pixels = static_cast<double>(image.Width()) * image.Height();
    state.counters["Mpx_per_cpu_s"] = pixels / cpuPerRun / 1e6;
    state.counters["Mpx_per_wall_s"] = pixels / perRun / 1e6;
    state.counters["cpu_ms"] = cpuPerRun * 1e3;
    state.counters["file_bytes"] = static_cast<double>(bytes);
    if (plain) {
        state.counters["plain_cpu_ms"] = plain->cpuSeconds * 1e3;
        state.counters["x_faster_cpu"] = plain->cpuSeconds / cpuPerRun;
        state.counters["x_faster_wall"] = plain->seconds / perRun;
    }
}

// Goal: 50 megapixels per second or more.
void BM_Encode1024x768At249Colours(benchmark::State& state) {
    EncodeAgainstPlain(state, FewColours(), 100.0f, 0, true);
}
BENCHMARK(BM_Encode1024x768At249Colours)->Unit(benchmark::kMillisecond);

// Goal: under one second. The plain algorithm would take hours here; its ratio is
// measured on the 256 x 256 photograph below.
void BM_EncodePhoto1024x768Limit250(benchmark::State& state) {
    EncodeAgainstPlain(state, Photo1024(), 100.0f, 250, false);
}
BENCHMARK(BM_EncodePhoto1024x768Limit250)->Unit(benchmark::kMillisecond)->Iterations(3);

// Goal: at least 50 times faster than the plain algorithm, identical bytes.
void BM_EncodePhoto256x256Limit250(benchmark::State& state) {
    EncodeAgainstPlain(state, Photo256(), 100.0f, 250, true);
}
BENCHMARK(BM_EncodePhoto256x256Limit250)->Unit(benchmark::kMillisecond);

void BM_EncodePhoto256x256Accuracy95(benchmark::State& state) {
    EncodeAgainstPlain(state, Photo256(), 95.0f, 0, true);
}
BENCHMARK(BM_EncodePhoto256x256Accuracy95)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
