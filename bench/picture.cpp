// Picture and Thumbnail of a 1920 x 1080 image with alpha, beside plain copies of
// the same bytes measured in the same run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <ctime>
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
        loaded = engine.LoadImage(testsupport::WriteTempFile(
            "bench_picture.bmp", testsupport::VariedAlphaFile(kWidth, kHeight)));
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

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Picture, a plain copy of the same bytes into a new image and a plain memcpy into
// an existing buffer, each timed over a block of repetitions inside one benchmark,
// so their ratios hold on a busy machine. The goal is at most 4 times a plain copy.
void BM_PictureToCopyRatio(benchmark::State& state) {
    ZorixImgEngine& engine = LoadedEngine();
    constexpr int kBlock = 20;
    double pictureMs = 0, copyMs = 0, memcpyMs = 0;
    std::vector<uint8_t> target(engine.Image()->ByteCount());
    for (auto _ : state) {
        double t0 = ThreadCpuMs();
        for (int i = 0; i < kBlock; ++i) {
            auto picture = engine.Picture();
            benchmark::DoNotOptimize(picture->BitsPointer());
        }
        double t1 = ThreadCpuMs();
        for (int i = 0; i < kBlock; ++i) {
            std::unique_ptr<c32bppDIB> copy;
            engine.Image()->CopyImageTo(copy);
            benchmark::DoNotOptimize(copy->BitsPointer());
        }
        double t2 = ThreadCpuMs();
        for (int i = 0; i < kBlock; ++i) {
            std::memcpy(target.data(), engine.Image()->BitsPointer(), target.size());
            benchmark::ClobberMemory();
        }
        double t3 = ThreadCpuMs();
        pictureMs += t1 - t0;
        copyMs += t2 - t1;
        memcpyMs += t3 - t2;
    }
    const double n = static_cast<double>(state.iterations()) * kBlock;
    state.counters["picture_ms"] = pictureMs / n;
    state.counters["copy_new_ms"] = copyMs / n;
    state.counters["memcpy_ms"] = memcpyMs / n;
    state.counters["ratio_to_copy_new"] = pictureMs / copyMs;
    state.counters["ratio_to_memcpy"] = pictureMs / memcpyMs;
}
BENCHMARK(BM_PictureToCopyRatio)->Unit(benchmark::kMillisecond)->Iterations(5);

// Thumbnail CPU time against its 5 ms goal, beside the copy for scale.
void BM_ThumbnailCpu(benchmark::State& state) {
    ZorixImgEngine& engine = LoadedEngine();
    double thumbMs = 0, copyMs = 0;
    for (auto _ : state) {
        double t0 = ThreadCpuMs();
        auto thumb = engine.Thumbnail(64, 64, true);
        benchmark::DoNotOptimize(thumb->BitsPointer());
        double t1 = ThreadCpuMs();
        std::unique_ptr<c32bppDIB> copy;
        engine.Image()->CopyImageTo(copy);
        benchmark::DoNotOptimize(copy->BitsPointer());
        double t2 = ThreadCpuMs();
        thumbMs += t1 - t0;
        copyMs += t2 - t1;
    }
    state.counters["thumbnail_ms"] = thumbMs / state.iterations();
    state.counters["ratio_to_copy"] = thumbMs / copyMs;
    state.counters["goal_ms"] = 5.0;
}
BENCHMARK(BM_ThumbnailCpu)->Unit(benchmark::kMillisecond)->Iterations(100);

}  // namespace

BENCHMARK_MAIN();
