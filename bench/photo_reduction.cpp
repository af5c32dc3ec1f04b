// Quality, cost and size of converting photographs into the device format, each
// figure beside a reference computed in the same run on the same picture:
// - default options: PSNR against the source at least that of each row of the
//   RGB565-rounded picture reduced on its own to 251 colours by plain median cut;
// - best reduction at 250 colours: at least 1 dB above one plain median-cut
//   palette of 250 colours (shown with its colours to the byte, and as a file
//   would hold them);
// - time waited for the default path on 1920x1080 at most twice the classic
//   250-colour path's (each photograph resampled, and the photographs tiled at
//   their own scale); a 4032x3024 photo under 10 s (the largest resampled, and
//   the tiles);
// - the default file no larger than the source saved as PNG.
// The photographs are read from the folder named by ZORIX_PHOTOS (PNG or JPEG
// files); scripts/fetch-photos.sh fills one with Debian's free sample photographs.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <tuple>

#include "engine/PhotoQuality.h"
#include "engine/RLEEncoder.h"

namespace {

namespace fs = std::filesystem;
using quenda::c32bppDIB;
using quenda::RLEEncodeOptions;
using quenda::RLEReduction;

double Seconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Photo {
    std::string name;
    std::unique_ptr<c32bppDIB> image;
};

std::vector<Photo>& Photos() {
    static std::vector<Photo> photos = [] {
        std::vector<Photo> found;
        const char* folder = std::getenv("ZORIX_PHOTOS");
        if (folder == nullptr || !fs::is_directory(folder)) {
            return found;
        }
        std::vector<fs::path> paths;
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string ext = entry.path().extension().string();
            if (ext == ".png" || ext == ".jpg" || ext == ".jpeg") {
                paths.push_back(entry.path());
            }
        }
        std::sort(paths.begin(), paths.end());
        for (const fs::path& path : paths) {
            auto image = enginetest::LoadPhoto(path);
            if (image && !image->Alpha()) {
                found.push_back({path.stem().string(), std::move(image)});
            }
        }
        return found;
    }();
    return photos;
}

// Photograph `index` resampled to width x height.
const c32bppDIB* Scaled(size_t index, int32_t width, int32_t height) {
    static std::map<std::tuple<size_t, int32_t, int32_t>, std::unique_ptr<c32bppDIB>> cache;
    auto& slot = cache[{index, width, height}];
    if (!slot && index < Photos().size()) {
        slot = enginetest::Resized(*Photos()[index].image, width, height);
    }
    return slot.get();
}

// The largest photograph resampled to width x height.
const c32bppDIB* ScaledLargest(int32_t width, int32_t height) {
    size_t largest = 0;
    for (size_t i = 0; i < Photos().size(); ++i) {
        const c32bppDIB& p = *Photos()[i].image;
        const c32bppDIB& l = *Photos()[largest].image;
        if (p.Width() * p.Height() > l.Width() * l.Height()) {
            largest = i;
        }
    }
    return Scaled(largest, width, height);
}

// The photographs at their own scale, tiled to width x height: rows as detailed as
// a real photograph's (the resampled one is smoother than any camera's).
const c32bppDIB* Mosaic(int32_t width, int32_t height) {
    static std::map<std::pair<int32_t, int32_t>, std::unique_ptr<c32bppDIB>> cache;
    auto& slot = cache[{width, height}];
    if (!slot && !Photos().empty()) {
        constexpr int32_t kTileWidth = 700, kTileHeight = 500;
        slot = std::make_unique<c32bppDIB>();
        slot->InitializeDIB(width, height);
        slot->setAlpha(false);
        const int32_t across = (width + kTileWidth - 1) / kTileWidth;
        for (int32_t y = 0; y < height; ++y) {
            uint8_t* out = slot->BitsPointer() + slot->PixelOffset(0, y);
            for (int32_t x = 0; x < width; ++x, out += 4) {
                const size_t tile = static_cast<size_t>(x / kTileWidth + y / kTileHeight * across);
                const c32bppDIB& photo = *Photos()[tile % Photos().size()].image;
                const uint8_t* in =
                    photo.BitsPointer() + photo.PixelOffset(x % kTileWidth % photo.Width(),
                                                            y % kTileHeight % photo.Height());
                std::copy(in, in + 4, out);
            }
        }
    }
    return slot.get();
}

// The time a person waits, and the processor time of every thread it took: tall
// pictures are reduced in bands on several threads.
struct Encoded {
    quenda::RLEEncodeResult result;
    double seconds = 0;
    double cpuSeconds = 0;
};

Encoded Encode(const c32bppDIB& image, int32_t maxPalette, const RLEEncodeOptions& options) {
    quenda::ZorixImgEngineEvents silent;
    Encoded e;
    const double start = Seconds(CLOCK_MONOTONIC);
    const double startCpu = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    e.result = quenda::EncodeRLE("photo", image, 100.0f, maxPalette, options, silent);
    e.seconds = Seconds(CLOCK_MONOTONIC) - start;
    e.cpuSeconds = Seconds(CLOCK_PROCESS_CPUTIME_ID) - startCpu;
    return e;
}

// The faster of two runs of one encoding; `turn` 0 takes the second.
Encoded Faster(const Encoded& best, const Encoded& run, int turn) {
    return turn == 0 || run.seconds < best.seconds ? run : best;
}

double PsnrOf(const c32bppDIB& source, const Encoded& e) {
    const auto decoded = enginetest::DecodeBytes(e.result.bytes);
    return decoded ? enginetest::Psnr(source, *decoded) : 0.0;
}

size_t PngSize(c32bppDIB& image) {
    const fs::path path =
        fs::temp_directory_path() / ("zorix-bench-" + std::to_string(getpid()) + ".png");
    size_t size = 0;
    if (image.SaveToFile_PNG(path, false)) {
        size = fs::file_size(path);
    }
    fs::remove(path);
    return size;
}

bool NeedPhotos(benchmark::State& state) {
    if (Photos().empty()) {
        state.SkipWithError("no photographs: set ZORIX_PHOTOS (scripts/fetch-photos.sh)");
        return false;
    }
    return true;
}

void BM_DefaultAgainstPerRowMedianCut(benchmark::State& state) {
    if (!NeedPhotos(state)) {
        return;
    }
    const size_t index = static_cast<size_t>(state.range(0));
    if (index >= Photos().size()) {
        state.SkipWithError("fewer photographs");
        return;
    }
    Photo& photo = Photos()[index];
    Encoded e;
    for (auto _ : state) {
        e = Encode(*photo.image, 0, {});
    }
    state.SetLabel(photo.name);
    const double psnr = PsnrOf(*photo.image, e);
    const double reference = enginetest::PerRowMedianCutPsnr(*photo.image);
    state.counters["psnr_db"] = psnr;
    state.counters["ref_row_mc_db"] = reference;
    state.counters["margin_db"] = psnr - reference;
    state.counters["colors"] = e.result.colorCount;
    state.counters["file_bytes"] = static_cast<double>(e.result.bytes.size());
    state.counters["png_bytes"] = static_cast<double>(PngSize(*photo.image));
    if (psnr < reference) {
        state.SetLabel(photo.name + " MISSES: below the per-row median-cut reference");
    }
}
BENCHMARK(BM_DefaultAgainstPerRowMedianCut)
    ->DenseRange(0, 7)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_BestAgainstMedianCutPalette(benchmark::State& state) {
    if (!NeedPhotos(state)) {
        return;
    }
    const size_t index = static_cast<size_t>(state.range(0));
    if (index >= Photos().size()) {
        state.SkipWithError("fewer photographs");
        return;
    }
    Photo& photo = Photos()[index];
    Encoded best, classic;
    for (auto _ : state) {
        best = Encode(*photo.image, 250, {RLEReduction::Best, false});
    }
    classic = Encode(*photo.image, 250, {});
    state.SetLabel(photo.name);
    const double psnr = PsnrOf(*photo.image, best);
    const double reference = enginetest::MedianCutPalettePsnr(*photo.image, 250);
    state.counters["best_db"] = psnr;
    state.counters["best_dither_db"] =
        PsnrOf(*photo.image, Encode(*photo.image, 250, {RLEReduction::Best, true}));
    state.counters["classic_db"] = PsnrOf(*photo.image, classic);
    state.counters["ref_mc250_db"] = reference;
    // The same palette as a file can hold it: its colours rounded to RGB565.
    state.counters["ref_mc250_565_db"] = enginetest::MedianCutPalettePsnr(*photo.image, 250, true);
    // No palette of RGB565 colours can pass this, however many entries it has.
    state.counters["rgb565_ceiling_db"] = enginetest::Rgb565CeilingPsnr(*photo.image);
    state.counters["margin_db"] = psnr - reference;
    state.counters["classic_ms"] = classic.seconds * 1e3;
    state.counters["best_ms"] = best.seconds * 1e3;
    if (psnr < reference + 1.0) {
        state.SetLabel(photo.name + " MISSES: less than 1 dB above the median-cut palette");
    }
}
BENCHMARK(BM_BestAgainstMedianCutPalette)
    ->DenseRange(0, 7)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// The default path on a 1920x1080 photo against the classic 250-colour path: each
// photograph resampled (0 to 7), and the photographs tiled at their own scale (8).
void BM_Default1920x1080AgainstClassic250(benchmark::State& state) {
    if (!NeedPhotos(state)) {
        return;
    }
    const auto index = static_cast<size_t>(state.range(0));
    const bool tiled = index == 8;
    if (!tiled && index >= Photos().size()) {
        state.SkipWithError("fewer photographs");
        return;
    }
    const std::string name = tiled ? "tiled photographs" : Photos()[index].name + " resampled";
    const c32bppDIB& image = tiled ? *Mosaic(1920, 1080) : *Scaled(index, 1920, 1080);
    // The fastest of a few turns of each path, taken in alternation: a single run
    // on a shared machine varies by a fifth.
    constexpr int kTurns = 5;
    Encoded e, classic;
    for (auto _ : state) {
        for (int turn = 0; turn < kTurns; ++turn) {
            e = Faster(e, Encode(image, 0, {}), turn);
            classic = Faster(classic, Encode(image, 250, {}), turn);
        }
    }
    state.SetLabel(name);
    state.counters["default_ms"] = e.seconds * 1e3;
    state.counters["classic250_ms"] = classic.seconds * 1e3;
    state.counters["x_of_classic"] = e.seconds / classic.seconds;
    // Processor time of all threads: what the bands cost beyond the waiting.
    state.counters["cpu_x_of_classic"] = e.cpuSeconds / classic.cpuSeconds;
    state.counters["psnr_db"] = PsnrOf(image, e);
    state.counters["ref_row_mc_db"] = enginetest::PerRowMedianCutPsnr(image);
    if (e.seconds > 2 * classic.seconds) {
        state.SetLabel(name + " MISSES: more than twice the classic 250-colour path");
    }
}
BENCHMARK(BM_Default1920x1080AgainstClassic250)
    ->DenseRange(0, 8)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// A 12-megapixel photo with the default options, under 10 s (resampled, tiled).
void BM_Default4032x3024(benchmark::State& state) {
    if (!NeedPhotos(state)) {
        return;
    }
    const bool detailed = state.range(0) == 1;
    state.SetLabel(detailed ? "tiled photographs" : "resampled photograph");
    const c32bppDIB& image = detailed ? *Mosaic(4032, 3024) : *ScaledLargest(4032, 3024);
    Encoded e;
    for (auto _ : state) {
        e = Encode(image, 0, {});
    }
    state.counters["seconds"] = e.seconds;
    state.counters["cpu_s"] = e.cpuSeconds;
    state.counters["colors"] = e.result.colorCount;
    state.counters["psnr_db"] = PsnrOf(image, e);
    state.counters["ref_row_mc_db"] = enginetest::PerRowMedianCutPsnr(image);
    if (!e.result.success || e.seconds >= 10.0) {
        state.SetLabel("MISSES: did not convert in under 10 s");
    }
}
BENCHMARK(BM_Default4032x3024)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
