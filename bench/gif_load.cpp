// Loading a 1920 x 1080 GIF through the reader chain, against giflib decoding the
// same file alone, measured in the same run. Goal: ratio at most 1.5.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "imaging/c32bppDIB.h"
#include "support/GifBuilder.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

const std::vector<uint8_t>& TestGif() {
    static const std::vector<uint8_t> file = [] {
        testsupport::GifBuilder g;
        g.screenWidth = kWidth;
        g.screenHeight = kHeight;
        for (int i = 0; i < 256; ++i) {
            g.globalTable.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(i * 7),
                                     static_cast<uint8_t>(255 - i)});
        }
        testsupport::GifFrame f;
        f.width = kWidth;
        f.height = kHeight;
        f.indices.resize(static_cast<size_t>(kWidth) * kHeight);
        // Smooth areas with some noise, like a dithered photo.
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const unsigned noise = (static_cast<unsigned>(x * 7 + y * 13) * 2654435761u) >> 29;
                f.indices[static_cast<size_t>(y) * kWidth + x] =
                    static_cast<uint8_t>((x / 16 + y / 16 + noise) & 0xFF);
            }
        }
        g.frames.push_back(f);
        return g.Build();
    }();
    return file;
}

struct Reader {
    const std::vector<uint8_t>* bytes;
    size_t at;
};

int Read(GifFileType* gif, GifByteType* buffer, int count) {
    auto* r = static_cast<Reader*>(gif->UserData);
    const size_t n = std::min(static_cast<size_t>(count), r->bytes->size() - r->at);
    std::memcpy(buffer, r->bytes->data() + r->at, n);
    r->at += n;
    return static_cast<int>(n);
}

bool GiflibAlone(const std::vector<uint8_t>& file) {
    Reader reader{&file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, Read, &error);
    if (gif == nullptr) {
        return false;
    }
    const bool ok = DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0;
    DGifCloseFile(gif, &error);
    return ok;
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

void BM_LoadGifVsGiflib(benchmark::State& state) {
    const std::vector<uint8_t>& file = TestGif();
    double loadTime = 0, giflibTime = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        {
            quenda::c32bppDIB image;
            if (!image.LoadPicture_Stream(file)) {
                state.SkipWithError("load failed");
                return;
            }
            benchmark::DoNotOptimize(image.BitsPointer());
        }
        auto t1 = std::chrono::steady_clock::now();
        if (!GiflibAlone(file)) {
            state.SkipWithError("giflib failed");
            return;
        }
        auto t2 = std::chrono::steady_clock::now();
        loadTime += Seconds(t1 - t0);
        giflibTime += Seconds(t2 - t1);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["load_ms"] = loadTime / n * 1000;
    state.counters["giflib_ms"] = giflibTime / n * 1000;
    state.counters["ratio"] = loadTime / giflibTime;
}
BENCHMARK(BM_LoadGifVsGiflib)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
