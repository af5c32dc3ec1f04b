// Thumbnails of device bitmaps in bounded memory and time.
//
// BM_Thumbnailer16K runs `zorix-thumbnailer -s 256` on a 16384 x 16384 device bitmap
// (about 3.5 MB) in a child process and reports its wall time and peak memory beside
// the same program making the thumbnail of a 16 x 16 one (what starting the program
// costs). A forked child's peak starts at the benchmark's own size when it forks, so
// the reference's peak is the floor of what this can show. The processor time is
// reported too: on a busy machine the wall time mostly measures the others. Goals: at
// most 0.5 s and 64 MB.
//
// BM_Decode1080 decodes a 1920 x 1080 screen-like device bitmap to 256 x 144 and, as
// the reference, at full size with the engine's decoder, in the same run. Goal: at
// most 30 ms.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "bench/ChildRun.h"
#include "engine/RLEDecoder.h"
#include "engine/RLEScaledDecoder.h"
#include "engine/ZorixImgEngineEvents.h"
#include "imaging/c32bppDIB.h"
#include "support/RLEBuilder.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string WriteScratch(const std::string& dir, const std::string& name, const Bytes& bytes) {
    const std::string path = dir + "/" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

using benchsupport::ChildRun;

// Runs the thumbnailer and takes its own peak resident size from wait4.
ChildRun RunThumbnailer(const std::string& input, const std::string& output) {
    return benchsupport::RunInChild([&] {
        execl(ZORIX_THUMBNAILER, ZORIX_THUMBNAILER, "-s", "256", input.c_str(), output.c_str(),
              static_cast<char*>(nullptr));
        return 127;
    });
}

void BM_Thumbnailer16K(benchmark::State& state) {
    const std::string dir = testsupport::MakeTempDir("zorix-bench-thumb");
    const std::string big =
        WriteScratch(dir, "big.bmp", testsupport::RandomRunsFile(16384, 16384, 1, 250, 3));
    const std::string small =
        WriteScratch(dir, "small.bmp", testsupport::RandomRunsFile(16, 16, 1, 8, 4));
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(big)) / 1048576.0;
    double seconds = 0, cpu = 0, peak = 0, refSeconds = 0, refCpu = 0, refPeak = 0;
    for (auto _ : state) {
        const ChildRun run = RunThumbnailer(big, big + ".png");
        const ChildRun ref = RunThumbnailer(small, small + ".png");
        if (!run.ok || !ref.ok) {
            state.SkipWithError("the thumbnailer failed");
            break;
        }
        state.SetIterationTime(run.seconds);
        seconds += run.seconds;
        cpu += run.cpuSeconds;
        refSeconds += ref.seconds;
        refCpu += ref.cpuSeconds;
        peak = std::max(peak, run.peakMB);
        refPeak = std::max(refPeak, ref.peakMB);
    }
    std::filesystem::remove_all(dir);
    const auto n = static_cast<double>(std::max<int64_t>(state.iterations(), 1));
    state.counters["seconds"] = seconds / n;
    state.counters["cpu_seconds"] = cpu / n;
    state.counters["peak_MB"] = peak;
    state.counters["ref_16px_seconds"] = refSeconds / n;
    state.counters["ref_16px_cpu_seconds"] = refCpu / n;
    state.counters["ref_16px_peak_MB"] = refPeak;
}

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void BM_Decode1080(benchmark::State& state) {
    const Bytes file = testsupport::RandomRunsFile(1920, 1080, 1, 12, 5);
    quenda::ZorixImgEngineEvents none;
    quenda::c32bppDIB full;
    Bytes thumb(256 * 144 * 4);
    const quenda::RLETarget target{thumb.data(), 256 * 4, 256, 144};
    double scaled = 0, reference = 0, scaledCpu = 0, referenceCpu = 0;
    for (auto _ : state) {
        const double c0 = ProcessCpuSeconds();
        const auto t0 = std::chrono::steady_clock::now();
        const bool ok = quenda::DecodeRLEScaled(file, target).success;
        const auto t1 = std::chrono::steady_clock::now();
        const double c1 = ProcessCpuSeconds();
        const bool refOk = quenda::DecodeRLEBytes(file, "bench", full, none).success;
        const auto t2 = std::chrono::steady_clock::now();
        scaledCpu += c1 - c0;
        referenceCpu += ProcessCpuSeconds() - c1;
        if (!ok || !refOk) {
            state.SkipWithError("decoding failed");
            return;
        }
        const double s = std::chrono::duration<double>(t1 - t0).count();
        state.SetIterationTime(s);
        scaled += s;
        reference += std::chrono::duration<double>(t2 - t1).count();
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["scaled_ms"] = scaled * 1e3 / n;
    state.counters["full_decode_ms"] = reference * 1e3 / n;
    state.counters["scaled_cpu_ms"] = scaledCpu * 1e3 / n;
    state.counters["full_cpu_ms"] = referenceCpu * 1e3 / n;
    state.counters["ratio_to_full"] = scaled / reference;
}

}  // namespace

BENCHMARK(BM_Thumbnailer16K)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Decode1080)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK_MAIN();
