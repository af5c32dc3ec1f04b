// PNG speed against libpng, libspng and zlib, measured side by side in the same run:
// each iteration times the library's code and the reference on the same data, and the
// counters report the best thread CPU time of each and their ratio. Decoding runs on
// generated pictures (smooth, noisy with an alpha gradient, photograph-like with
// adaptive filters, all-Paeth, 12 megapixels) and on the PNG files of the folder
// ZORIX_BENCH_PHOTOS names; the run ends with the worst ratio against libspng.
#include <benchmark/benchmark.h>
#include <png.h>
#include <spng.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "codecs/InflateDecoder.h"
#include "codecs/cPNGparser.h"
#include "codecs/cPNGwriter.h"
#include "imaging/c32bppDIB.h"

namespace {

constexpr uint32_t kWidth = 1920;
constexpr uint32_t kHeight = 1080;

// A photograph-like RGBA picture: smooth gradients, texture noise and a soft alpha edge.
std::vector<uint8_t> MakeRGBA() {
    std::mt19937 rng(7);
    std::vector<uint8_t> rgba(size_t{kWidth} * kHeight * 4);
    for (uint32_t y = 0; y < kHeight; ++y) {
        for (uint32_t x = 0; x < kWidth; ++x) {
            uint8_t* p = &rgba[(size_t{y} * kWidth + x) * 4];
            const double fx = x / double(kWidth);
            const double fy = y / double(kHeight);
            const int noise = static_cast<int>(rng() % 9) - 4;
            p[0] = static_cast<uint8_t>(
                std::clamp(128 + 100 * std::sin(fx * 7 + fy * 3) + noise, 0.0, 255.0));
            p[1] = static_cast<uint8_t>(std::clamp(255 * fy + noise, 0.0, 255.0));
            p[2] = static_cast<uint8_t>(std::clamp(60 + 120 * fx * fy + noise, 0.0, 255.0));
            const double edge = std::hypot(fx - 0.5, fy - 0.5);
            p[3] = static_cast<uint8_t>(std::clamp((0.55 - edge) * 1200, 0.0, 255.0));
        }
    }
    return rgba;
}

void WriteToMemory(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}
void FlushNothing(png_structp) {}

// Writes 8-bit pixels of the given colour type (grey: 1 byte, palette: indexes with the
// palette, RGBA: 4 bytes per pixel).
std::vector<uint8_t> LibpngWriteSized(const std::vector<uint8_t>& pixels, uint32_t width,
                                      uint32_t height, int colorType,
                                      const std::vector<png_color>& palette, int level,
                                      int filters) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, WriteToMemory, FlushNothing);
    png_set_compression_level(png, level);
    if (filters >= 0) {
        png_set_filter(png, PNG_FILTER_TYPE_BASE, filters);
    }
    png_set_IHDR(png, info, width, height, 8, colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    }
    png_write_info(png, info);
    const size_t rowBytes = pixels.size() / height;
    for (uint32_t y = 0; y < height; ++y) {
        png_write_row(png, pixels.data() + size_t{y} * rowBytes);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<uint8_t> LibpngWriteAs(const std::vector<uint8_t>& pixels, int colorType,
                                   const std::vector<png_color>& palette, int level, int filters) {
    return LibpngWriteSized(pixels, kWidth, kHeight, colorType, palette, level, filters);
}

std::vector<uint8_t> LibpngWrite(const std::vector<uint8_t>& rgba, int level, int filters) {
    return LibpngWriteAs(rgba, PNG_COLOR_TYPE_RGBA, {}, level, filters);
}

struct MemoryReader {
    const std::vector<uint8_t>* data;
    size_t pos = 0;
};
void ReadFromMemory(png_structp png, png_bytep out, png_size_t n) {
    auto* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
    std::memcpy(out, r->data->data() + r->pos, n);
    r->pos += n;
}

bool LibpngDecodeRGBA(const std::vector<uint8_t>& bytes, std::vector<uint8_t>& rgba) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    MemoryReader reader{&bytes};
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &reader, ReadFromMemory);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_read_update_info(png, info);
    rgba.resize(size_t{kWidth} * kHeight * 4);
    for (uint32_t y = 0; y < kHeight; ++y) {
        rows.push_back(rgba.data() + size_t{y} * kWidth * 4);
    }
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

std::vector<uint8_t> IdatStream(const std::vector<uint8_t>& png) {
    std::vector<uint8_t> idat;
    for (size_t pos = 8; pos + 12 <= png.size();) {
        const uint32_t len =
            (uint32_t{png[pos]} << 24) | (png[pos + 1] << 16) | (png[pos + 2] << 8) | png[pos + 3];
        if (std::memcmp(&png[pos + 4], "IDAT", 4) == 0) {
            idat.insert(idat.end(), png.begin() + pos + 8, png.begin() + pos + 8 + len);
        }
        pos += 12 + len;
    }
    return idat;
}

const std::vector<uint8_t>& Picture() {
    static const std::vector<uint8_t> rgba = MakeRGBA();
    return rgba;
}

const std::vector<uint8_t>& PictureAsPng() {
    static const std::vector<uint8_t> png = LibpngWrite(Picture(), 6, -1);
    return png;
}

// The picture's green channel as an 8-bit grey picture.
const std::vector<uint8_t>& GreyAsPng() {
    static const std::vector<uint8_t> png = [] {
        const auto& rgba = Picture();
        std::vector<uint8_t> grey(rgba.size() / 4);
        for (size_t i = 0; i < grey.size(); ++i) {
            grey[i] = rgba[4 * i + 1];
        }
        return LibpngWriteAs(grey, PNG_COLOR_TYPE_GRAY, {}, 6, -1);
    }();
    return png;
}

// The picture reduced to a 216-colour cube, as an 8-bit palette picture.
const std::vector<uint8_t>& PaletteAsPng() {
    static const std::vector<uint8_t> png = [] {
        const auto& rgba = Picture();
        std::vector<png_color> palette;
        for (int i = 0; i < 216; ++i) {
            palette.push_back({static_cast<png_byte>(i / 36 * 51),
                               static_cast<png_byte>(i / 6 % 6 * 51),
                               static_cast<png_byte>(i % 6 * 51)});
        }
        std::vector<uint8_t> indexes(rgba.size() / 4);
        for (size_t i = 0; i < indexes.size(); ++i) {
            const uint8_t* p = &rgba[4 * i];
            indexes[i] = static_cast<uint8_t>((p[0] + 25) / 51 * 36 + (p[1] + 25) / 51 * 6 +
                                              (p[2] + 25) / 51);
        }
        return LibpngWriteAs(indexes, PNG_COLOR_TYPE_PALETTE, palette, 6, -1);
    }();
    return png;
}

// Fine noise on every channel over smooth ramps, alpha a gradient from left to right:
// the data hardly compresses, so inflating and unfiltering dominate.
const std::vector<uint8_t>& NoisyRGBAAsPng() {
    static const std::vector<uint8_t> png = [] {
        std::mt19937 rng(11);
        std::vector<uint8_t> rgba(size_t{kWidth} * kHeight * 4);
        for (uint32_t y = 0; y < kHeight; ++y) {
            for (uint32_t x = 0; x < kWidth; ++x) {
                uint8_t* p = &rgba[(size_t{y} * kWidth + x) * 4];
                const int base[3] = {static_cast<int>(x * 255 / kWidth),
                                     static_cast<int>(y * 255 / kHeight), 128};
                for (int c = 0; c < 3; ++c) {
                    p[c] = static_cast<uint8_t>(std::clamp(base[c] + int(rng() % 49) - 24, 0, 255));
                }
                p[3] = static_cast<uint8_t>(x * 255 / (kWidth - 1));
            }
        }
        return LibpngWrite(rgba, 6, -1);
    }();
    return png;
}

// Smooth random field: a grid of random values every `cell` pixels, interpolated.
class ValueNoise {
  public:
    ValueNoise(uint32_t width, uint32_t height, uint32_t cell, std::mt19937& rng)
        : cell_(cell), columns_(width / cell + 2) {
        values_.resize(size_t{columns_} * (height / cell + 2));
        for (float& v : values_) {
            v = static_cast<float>(rng() % 2001) / 1000.0f - 1.0f;
        }
    }
    float At(uint32_t x, uint32_t y) const {
        const uint32_t cx = x / cell_;
        const uint32_t cy = y / cell_;
        const float fx = Smooth(float(x % cell_) / cell_);
        const float fy = Smooth(float(y % cell_) / cell_);
        const float top = Mix(Value(cx, cy), Value(cx + 1, cy), fx);
        const float bottom = Mix(Value(cx, cy + 1), Value(cx + 1, cy + 1), fx);
        return Mix(top, bottom, fy);
    }

  private:
    static float Smooth(float t) { return t * t * (3 - 2 * t); }
    static float Mix(float a, float b, float t) { return a + (b - a) * t; }
    float Value(uint32_t cx, uint32_t cy) const { return values_[size_t{cy} * columns_ + cx]; }

    uint32_t cell_;
    uint32_t columns_;
    std::vector<float> values_;
};

// A photograph-like RGB picture: large soft shapes, mid-sized texture and sensor noise,
// with channels that follow one another as in a real scene.
std::vector<uint8_t> MakePhoto(uint32_t width, uint32_t height, uint32_t seed) {
    std::mt19937 rng(seed);
    const ValueNoise shapes(width, height, 256, rng);
    const ValueNoise texture(width, height, 24, rng);
    const ValueNoise detail(width, height, 5, rng);
    const ValueNoise tint(width, height, 400, rng);
    std::normal_distribution<float> grain(0.0f, 2.5f);
    std::vector<uint8_t> rgb(size_t{width} * height * 3);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const float light =
                120 + 80 * shapes.At(x, y) + 30 * texture.At(x, y) + 10 * detail.At(x, y);
            const float hue = 40 * tint.At(x, y);
            const float channel[3] = {light + hue, light, light - hue};
            uint8_t* p = &rgb[(size_t{y} * width + x) * 3];
            for (int c = 0; c < 3; ++c) {
                p[c] = static_cast<uint8_t>(std::clamp(channel[c] + grain(rng), 0.0f, 255.0f));
            }
        }
    }
    return rgb;
}

// Saved as most writers save photographs: RGB, adaptive filters.
const std::vector<uint8_t>& PhotoAsPng() {
    static const std::vector<uint8_t> png = LibpngWriteSized(
        MakePhoto(kWidth, kHeight, 3), kWidth, kHeight, PNG_COLOR_TYPE_RGB, {}, 6, -1);
    return png;
}

constexpr uint32_t kLargeWidth = 4000;
constexpr uint32_t kLargeHeight = 3000;

// A 12-megapixel photograph: its buffers are far larger than the caches.
const std::vector<uint8_t>& LargePhotoAsPng() {
    static const std::vector<uint8_t> png =
        LibpngWriteSized(MakePhoto(kLargeWidth, kLargeHeight, 5), kLargeWidth, kLargeHeight,
                         PNG_COLOR_TYPE_RGB, {}, 6, -1);
    return png;
}

// The RGBA picture with every row Paeth-filtered, the slowest filter to reverse.
const std::vector<uint8_t>& PaethAsPng() {
    static const std::vector<uint8_t> png = LibpngWrite(Picture(), 6, PNG_FILTER_PAETH);
    return png;
}

bool SpngDecodeRGBA(const std::vector<uint8_t>& bytes, std::vector<uint8_t>& rgba) {
    spng_ctx* ctx = spng_ctx_new(0);
    spng_set_png_buffer(ctx, bytes.data(), bytes.size());
    size_t size = 0;
    bool ok = spng_decoded_image_size(ctx, SPNG_FMT_RGBA8, &size) == 0;
    if (ok) {
        rgba.resize(size);
        ok = spng_decode_image(ctx, rgba.data(), size, SPNG_FMT_RGBA8, 0) == 0;
    }
    spng_ctx_free(ctx);
    return ok;
}

// CPU time of this thread: steadier than the wall clock on a shared machine.
double ThreadSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

// Runs both functions once per iteration and reports the best time of each (the run
// least disturbed by other work on the machine) and their ratio.
double Compare(benchmark::State& state, const std::function<void()>& own,
               const std::function<void()>& reference) {
    double ownBest = INFINITY;
    double referenceBest = INFINITY;
    for (auto _ : state) {
        const double t0 = ThreadSeconds();
        own();
        const double t1 = ThreadSeconds();
        reference();
        const double t2 = ThreadSeconds();
        ownBest = std::min(ownBest, t1 - t0);
        referenceBest = std::min(referenceBest, t2 - t1);
    }
    state.counters["own_ms"] = 1000 * ownBest;
    state.counters["ref_ms"] = 1000 * referenceBest;
    state.counters["ratio"] = ownBest / referenceBest;
    return ownBest / referenceBest;
}

// Each picture's ratio against libspng, for the summary: the worst one counts.
std::map<std::string, double>& SpngRatios() {
    static std::map<std::string, double> ratios;
    return ratios;
}

// Our reader on the PNG, into a new image as every load makes.
void OwnDecode(const std::vector<uint8_t>& png) {
    quenda::c32bppDIB image;
    uint32_t token = 0;
    quenda::cPNGparser().LoadStream(png, image, 0, png.size(), token);
    benchmark::DoNotOptimize(image.BitsPointer());
}

void BM_DecodeRGBA_vs_libpng(benchmark::State& state) {
    const auto& png = PictureAsPng();
    Compare(
        state, [&] { OwnDecode(png); },
        [&] {
            // A new picture each time, as the library makes a new image.
            std::vector<uint8_t> rgba(size_t{kWidth} * kHeight * 4);
            LibpngDecodeRGBA(png, rgba);
            benchmark::DoNotOptimize(rgba.data());
        });
}

// Our reader against libspng decoding to RGBA into a new buffer each time, as the
// library makes a new image.
void DecodeAgainstSpng(benchmark::State& state, const std::vector<uint8_t>& png,
                       const std::string& name) {
    SpngRatios()[name] = Compare(
        state, [&] { OwnDecode(png); },
        [&] {
            std::vector<uint8_t> rgba;
            SpngDecodeRGBA(png, rgba);
            benchmark::DoNotOptimize(rgba.data());
        });
}

void BM_DecodeRGBA_vs_libspng(benchmark::State& state) {
    DecodeAgainstSpng(state, PictureAsPng(), "RGBA");
}
void BM_DecodePalette_vs_libspng(benchmark::State& state) {
    DecodeAgainstSpng(state, PaletteAsPng(), "Palette");
}
void BM_DecodeGrey_vs_libspng(benchmark::State& state) {
    DecodeAgainstSpng(state, GreyAsPng(), "Grey");
}
void BM_DecodeNoisyRGBA_vs_libspng(benchmark::State& state) {
    DecodeAgainstSpng(state, NoisyRGBAAsPng(), "NoisyRGBA");
}
void BM_DecodePhoto_vs_libspng(benchmark::State& state) {
    DecodeAgainstSpng(state, PhotoAsPng(), "Photo");
}
void BM_DecodePaeth_vs_libspng(benchmark::State& state) {
    DecodeAgainstSpng(state, PaethAsPng(), "Paeth");
}
void BM_DecodeLargePhoto_vs_libspng(benchmark::State& state) {
    DecodeAgainstSpng(state, LargePhotoAsPng(), "LargePhoto");
}

// Real photographs saved as PNG, from the folder ZORIX_BENCH_PHOTOS names (none are
// committed): one benchmark each.
void RegisterPhotoFolder() {
    const char* folder = std::getenv("ZORIX_BENCH_PHOTOS");
    if (folder == nullptr) {
        return;
    }
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (entry.path().extension() == ".png") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        auto png = std::make_shared<std::vector<uint8_t>>();
        std::ifstream in(file, std::ios::binary);
        png->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        benchmark::RegisterBenchmark(
            ("BM_DecodeFile_vs_libspng/" + file.filename().string()).c_str(),
            [png, name = file.filename().string()](benchmark::State& state) {
                DecodeAgainstSpng(state, *png, name);
            })
            ->Unit(benchmark::kMillisecond)
            ->MinTime(1.0);
    }
}

void BM_Inflate_vs_zlib_uncompress(benchmark::State& state) {
    const auto idat = IdatStream(PictureAsPng());
    const size_t expected = (size_t{kWidth} * 4 + 1) * kHeight;
    std::vector<uint8_t> a(expected);
    std::vector<uint8_t> b(expected);
    Compare(
        state,
        [&] {
            quenda::InflateStream(idat.data(), idat.size(), a.data(), a.size());
            benchmark::DoNotOptimize(a.data());
        },
        [&] {
            uLongf size = b.size();
            uncompress(b.data(), &size, idat.data(), idat.size());
            benchmark::DoNotOptimize(b.data());
        });
    if (a != b) {
        state.SkipWithError("the own inflater differs from zlib");
    }
}

// Our writer keeps its Paeth default; libpng runs with `filters` (-1: its own choice).
void WriteAgainstLibpng(benchmark::State& state, int filters) {
    const auto& rgba = Picture();
    quenda::c32bppDIB image;
    image.InitializeDIB(kWidth, kHeight);
    for (uint32_t y = 0; y < kHeight; ++y) {
        for (uint32_t x = 0; x < kWidth; ++x) {
            const uint8_t* p = &rgba[(size_t{y} * kWidth + x) * 4];
            image.SetPixel(x, y, p[0] | (p[1] << 8) | (p[2] << 16), p[3]);
        }
    }
    // The writer stores what the buffer holds: libpng writes the same un-premultiplied pixels.
    std::vector<uint8_t> straight(rgba.size());
    for (uint32_t y = 0; y < kHeight; ++y) {
        for (uint32_t x = 0; x < kWidth; ++x) {
            uint8_t alpha = 0;
            const uint32_t c = static_cast<uint32_t>(image.GetPixel(x, y, &alpha));
            uint8_t* d = &straight[(size_t{y} * kWidth + x) * 4];
            d[0] = alpha ? c & 0xFF : 0;
            d[1] = alpha ? (c >> 8) & 0xFF : 0;
            d[2] = alpha ? (c >> 16) & 0xFF : 0;
            d[3] = alpha;
        }
    }
    std::vector<uint8_t> own;
    std::vector<uint8_t> reference;
    Compare(
        state, [&] { quenda::cPNGwriter().Write(image, {}, own); },
        [&] { reference = LibpngWrite(straight, 9, filters); });
    state.counters["own_bytes"] = static_cast<double>(own.size());
    state.counters["ref_bytes"] = static_cast<double>(reference.size());
    state.counters["size_ratio"] = static_cast<double>(own.size()) / reference.size();
}

void BM_WriteRGBA_vs_libpng_level9_paeth(benchmark::State& state) {
    WriteAgainstLibpng(state, PNG_FILTER_PAETH);
}
void BM_WriteRGBA_vs_libpng_level9_default_filters(benchmark::State& state) {
    WriteAgainstLibpng(state, -1);
}

}  // namespace

BENCHMARK(BM_DecodeRGBA_vs_libpng)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DecodeRGBA_vs_libspng)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DecodePalette_vs_libspng)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DecodeGrey_vs_libspng)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DecodeNoisyRGBA_vs_libspng)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DecodePhoto_vs_libspng)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DecodePaeth_vs_libspng)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DecodeLargePhoto_vs_libspng)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_Inflate_vs_zlib_uncompress)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WriteRGBA_vs_libpng_level9_paeth)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WriteRGBA_vs_libpng_level9_default_filters)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

int main(int argc, char** argv) {
    RegisterPhotoFolder();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The typical ratio hides the slow pictures: name the worst.
    const auto& ratios = SpngRatios();
    const auto worst = std::max_element(ratios.begin(), ratios.end(),
                                        [](auto& a, auto& b) { return a.second < b.second; });
    if (worst != ratios.end()) {
        std::printf("worst decode ratio against libspng: %.3f (%s) over %zu pictures\n",
                    worst->second, worst->first.c_str(), ratios.size());
    }
    return 0;
}
