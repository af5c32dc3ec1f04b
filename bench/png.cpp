// PNG speed against libpng and zlib, measured side by side in the same run: each
// iteration times the library's code and the reference on the same data, and the
// counters report both and their ratio.
#include <benchmark/benchmark.h>
#include <png.h>
#include <spng.h>
#include <zlib.h>

#include <cmath>
#include <cstring>
#include <ctime>
#include <functional>
#include <random>
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
std::vector<uint8_t> LibpngWriteAs(const std::vector<uint8_t>& pixels, int colorType,
                                   const std::vector<png_color>& palette, int level, int filters) {
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
    png_set_IHDR(png, info, kWidth, kHeight, 8, colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    }
    png_write_info(png, info);
    const size_t rowBytes = pixels.size() / kHeight;
    for (uint32_t y = 0; y < kHeight; ++y) {
        png_write_row(png, pixels.data() + size_t{y} * rowBytes);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
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

// Runs both functions once per iteration and reports their times and ratio.
void Compare(benchmark::State& state, const std::function<void()>& own,
             const std::function<void()>& reference) {
    double ownSeconds = 0;
    double referenceSeconds = 0;
    for (auto _ : state) {
        const double t0 = ThreadSeconds();
        own();
        const double t1 = ThreadSeconds();
        reference();
        const double t2 = ThreadSeconds();
        ownSeconds += t1 - t0;
        referenceSeconds += t2 - t1;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["own_ms"] = 1000 * ownSeconds / n;
    state.counters["ref_ms"] = 1000 * referenceSeconds / n;
    state.counters["ratio"] = ownSeconds / referenceSeconds;
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
void DecodeAgainstSpng(benchmark::State& state, const std::vector<uint8_t>& png) {
    Compare(
        state, [&] { OwnDecode(png); },
        [&] {
            std::vector<uint8_t> rgba;
            SpngDecodeRGBA(png, rgba);
            benchmark::DoNotOptimize(rgba.data());
        });
}

void BM_DecodeRGBA_vs_libspng(benchmark::State& state) {
    DecodeAgainstSpng(state, PictureAsPng());
}
void BM_DecodePalette_vs_libspng(benchmark::State& state) {
    DecodeAgainstSpng(state, PaletteAsPng());
}
void BM_DecodeGrey_vs_libspng(benchmark::State& state) {
    DecodeAgainstSpng(state, GreyAsPng());
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
BENCHMARK(BM_Inflate_vs_zlib_uncompress)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WriteRGBA_vs_libpng_level9_paeth)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WriteRGBA_vs_libpng_level9_default_filters)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

BENCHMARK_MAIN();
