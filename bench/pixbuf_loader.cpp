// The gdk-pixbuf loader's memory at a requested size.
//
// BM_PixbufLoader16K feeds a 16384 x 16384 device bitmap (about 3.5 MB) through the
// loader's incremental interface in a child process, in 64 KiB pieces as GdkPixbuf
// does, asking for 256 x 256 the way a thumbnailer does; it reports the child's peak
// memory and time beside the same child taking the picture at its own size (the
// reference: what the memory would be if the loader ignored the request). Goal: peak
// memory bounded by the requested size, well under the 1 GiB of the whole picture.
#define GDK_PIXBUF_ENABLE_BACKEND
#include <benchmark/benchmark.h>
#include <gdk-pixbuf/gdk-pixbuf-io.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "bench/ChildRun.h"
#include "support/RLEBuilder.h"

extern "C" void fill_vtable(GdkPixbufModule* module);

namespace {

using Bytes = std::vector<uint8_t>;

struct Request {
    gint width = 0;  // 0: the picture's own size
    gint height = 0;
    bool prepared = false;
};

void SizeFunc(gint* width, gint* height, gpointer data) {
    const auto* request = static_cast<Request*>(data);
    if (request->width > 0) {
        *width = request->width;
        *height = request->height;
    }
}

void Prepared(GdkPixbuf*, GdkPixbufAnimation*, gpointer data) {
    static_cast<Request*>(data)->prepared = true;
}

void Updated(GdkPixbuf*, int, int, int, int, gpointer) {}

// The loader as GdkPixbufLoader drives it; true when a picture was handed over.
bool Load(const Bytes& file, Request& request) {
    GdkPixbufModule module{};
    fill_vtable(&module);
    gpointer context = module.begin_load(SizeFunc, Prepared, Updated, &request, nullptr);
    bool ok = context != nullptr;
    constexpr size_t kPiece = 65536;
    for (size_t at = 0; ok && at < file.size(); at += kPiece) {
        ok = module.load_increment(context, file.data() + at,
                                   static_cast<guint>(std::min(kPiece, file.size() - at)), nullptr);
    }
    return context != nullptr && module.stop_load(context, nullptr) && ok && request.prepared;
}

using benchsupport::ChildRun;

// Loads in a child so that its peak resident size is the loader's alone (and the
// file it holds, which the parent made before forking).
ChildRun LoadInChild(const Bytes& file, gint width, gint height) {
    return benchsupport::RunInChild([&] {
        Request request{width, height};
        return Load(file, request) ? 0 : 1;
    });
}

void BM_PixbufLoader16K(benchmark::State& state) {
    const Bytes file = testsupport::RandomRunsFile(16384, 16384, 4, 250, 7);
    state.counters["file_MB"] = static_cast<double>(file.size()) / 1048576.0;
    double seconds = 0, peak = 0, refSeconds = 0, refPeak = 0;
    for (auto _ : state) {
        const ChildRun run = LoadInChild(file, 256, 256);
        const ChildRun ref = LoadInChild(file, 0, 0);
        if (!run.ok || !ref.ok) {
            state.SkipWithError("the loader failed");
            break;
        }
        state.SetIterationTime(run.seconds);
        seconds += run.seconds;
        refSeconds += ref.seconds;
        peak = std::max(peak, run.peakMB);
        refPeak = std::max(refPeak, ref.peakMB);
    }
    const auto n = static_cast<double>(std::max<int64_t>(state.iterations(), 1));
    state.counters["seconds_256"] = seconds / n;
    state.counters["peak_MB_256"] = peak;
    state.counters["ref_full_seconds"] = refSeconds / n;
    state.counters["ref_full_peak_MB"] = refPeak;
}

}  // namespace

BENCHMARK(BM_PixbufLoader16K)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_MAIN();
