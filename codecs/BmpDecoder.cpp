#include "codecs/BmpDecoder.h"

#include <atomic>
#include <bit>
#include <cstring>

#include "imaging/BitmapStride.h"
#include "imaging/ByteOrder.h"
#include "codecs/BmpHeader.h"
#include "codecs/BmpRle.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace quenda::bmp {

namespace {

std::atomic<bool> vectorRowsDisabledForTesting{false};

// One colour channel of a bit-field pixel, scaled to 0..255.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint64_t max = 0;

    explicit Channel(uint32_t m) : mask(m) {
        if (mask != 0) {
            shift = std::countr_zero(mask);
            max = mask >> shift;
        }
    }
    uint8_t operator()(uint32_t pixel) const {
        if (max == 0) {
            return 0;
        }
        const uint64_t value = (pixel & mask) >> shift;
        return static_cast<uint8_t>((value * 255 + max / 2) / max);
    }
};

using RowFn = void (*)(const uint8_t* src, uint32_t* dst, int32_t width, const void* context);

uint32_t LoadWord(const uint8_t* p) {
    uint32_t word;
    std::memcpy(&word, p, 4);
    return word;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define QUENDA_BMP_VECTOR_ROWS 1
// Four pixels per shuffle. Each load reads 16 bytes for 12, so it stops where fewer
// than 16 bytes of the row remain (the last row may lack its padding).
__attribute__((target("ssse3"))) int32_t Row24Vector(const uint8_t* src, uint32_t* dst,
                                                     int32_t width) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    int32_t x = 0;
    for (; x + 6 <= width; x += 4, src += 12) {
        const __m128i bgr = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x),
                         _mm_or_si128(_mm_shuffle_epi8(bgr, spread), opaque));
    }
    return x;
}

bool VectorRowsAvailable() {
    static const bool available = __builtin_cpu_supports("ssse3");
    return available && !vectorRowsDisabledForTesting.load();
}
#endif

void Row24(const uint8_t* src, uint32_t* dst, int32_t width, const void*) {
    int32_t x = 0;
#ifdef QUENDA_BMP_VECTOR_ROWS
    if (VectorRowsAvailable()) {
        x = Row24Vector(src, dst, width);
        src += size_t{3} * static_cast<size_t>(x);
    }
#endif
    if constexpr (std::endian::native == std::endian::little) {
        // Four pixels from three words: the portable fast case.
        constexpr uint32_t kOpaque = 0xFF000000u;
        for (; x + 4 <= width; x += 4, src += 12) {
            const uint32_t w0 = LoadWord(src), w1 = LoadWord(src + 4), w2 = LoadWord(src + 8);
            dst[x] = w0 | kOpaque;
            dst[x + 1] = (w0 >> 24) | (w1 << 8) | kOpaque;
            dst[x + 2] = (w1 >> 16) | (w2 << 16) | kOpaque;
            dst[x + 3] = (w2 >> 8) | kOpaque;
        }
    }
    for (; x < width; ++x, src += 3) {
        dst[x] = OpaqueBgra(src[0], src[1], src[2]);
    }
}

void Row32(const uint8_t* src, uint32_t* dst, int32_t width, const void*) {
    for (int32_t x = 0; x < width; ++x, src += 4) {
        dst[x] = OpaqueBgra(src[0], src[1], src[2]);
    }
}

struct FieldContext {
    Channel red, green, blue;
};

void Row16Fields(const uint8_t* src, uint32_t* dst, int32_t width, const void* context) {
    const auto& c = *static_cast<const FieldContext*>(context);
    for (int32_t x = 0; x < width; ++x, src += 2) {
        const uint32_t v = bytes::ReadLE16(src);
        dst[x] = OpaqueBgra(c.blue(v), c.green(v), c.red(v));
    }
}

void Row32Fields(const uint8_t* src, uint32_t* dst, int32_t width, const void* context) {
    const auto& c = *static_cast<const FieldContext*>(context);
    for (int32_t x = 0; x < width; ++x, src += 4) {
        const uint32_t v = bytes::ReadLE32(src);
        dst[x] = OpaqueBgra(c.blue(v), c.green(v), c.red(v));
    }
}

struct IndexContext {
    std::array<uint32_t, 256> palette;
    uint32_t bits;
};

void RowIndexed(const uint8_t* src, uint32_t* dst, int32_t width, const void* context) {
    const auto& c = *static_cast<const IndexContext*>(context);
    if (c.bits == 8) {
        for (int32_t x = 0; x < width; ++x) {
            dst[x] = c.palette[src[x]];
        }
        return;
    }
    // Narrow pixels are packed from the most significant bits down.
    const uint32_t perByte = 8 / c.bits;
    const uint32_t valueMask = (1u << c.bits) - 1;
    for (int32_t x = 0; x < width; ++x) {
        const uint32_t slot = static_cast<uint32_t>(x) % perByte;
        const uint32_t shift = 8 - c.bits * (slot + 1);
        dst[x] = c.palette[(src[static_cast<uint32_t>(x) / perByte] >> shift) & valueMask];
    }
}

bool DecodeRows(const uint8_t* data, size_t size, const BmpInfo& info, uint8_t* pixels) {
    const uint64_t rowLength =
        BitmapRowLength(static_cast<uint64_t>(info.width), info.bitsPerPixel);
    IndexContext indexed{};
    FieldContext fields{Channel(info.masks[0]), Channel(info.masks[1]), Channel(info.masks[2])};
    RowFn row = nullptr;
    const void* context = nullptr;
    switch (info.bitsPerPixel) {
        case 24:
            row = Row24;
            break;
        case 16:
            row = Row16Fields;
            context = &fields;
            break;
        case 32: {
            const bool plain = info.compression == kRgb;
            row = plain ? Row32 : Row32Fields;
            context = plain ? nullptr : &fields;
            break;
        }
        default:
            indexed.palette = ReadBmpPalette(data, size, info);
            indexed.bits = info.bitsPerPixel;
            row = RowIndexed;
            context = &indexed;
            break;
    }
    const size_t outRow = static_cast<size_t>(info.width) * 4;
    for (int32_t r = 0; r < info.height; ++r) {
        // The picture is kept bottom-up; top-down files are turned over.
        const int32_t target = info.topDown ? info.height - 1 - r : r;
        auto* dst = reinterpret_cast<uint32_t*>(pixels + outRow * target);
        row(data + info.pixelOffset + rowLength * r, dst, info.width, context);
    }
    return true;
}

LoadFailure DecodeBmpPixels(const uint8_t* data, size_t size, StdPicture& out) {
    BmpInfo info;
    if (data == nullptr) {
        return LoadFailure::At(LoadFailure::Kind::Truncated, 0);
    }
    if (LoadFailure failure = ParseBmpInfo(data, size, info)) {
        return failure;
    }
    const bool rle = info.compression == kRle8 || info.compression == kRle4;
    // Some writers leave out the padding after the last row; its pixels suffice.
    const uint64_t lastRow = (static_cast<uint64_t>(info.width) * info.bitsPerPixel + 7) / 8;
    const uint64_t stored =
        BitmapRowLength(static_cast<uint64_t>(info.width), info.bitsPerPixel) * (info.height - 1) +
        lastRow;
    if (!rle && stored > size - info.pixelOffset) {
        // Truncated rows: refused before any memory is taken.
        return LoadFailure::At(LoadFailure::Kind::Truncated, size);
    }
    std::unique_ptr<uint8_t[]> pixels = AllocatePixels(info.width, info.height, 4);
    if (!pixels) {
        return LoadFailure::At(LoadFailure::Kind::TooLarge, 0);
    }
    const bool ok = rle ? DecodeRle(data, size, info, pixels.get())
                        : DecodeRows(data, size, info, pixels.get());
    if (!ok) {
        return LoadFailure::At(LoadFailure::Kind::Malformed, 0, "BMP pixel data");
    }
    out.type = StdPicture::kBitmap;
    out.width = info.width;
    out.height = info.height;
    out.bgra = std::move(pixels);
    return {};
}

}  // namespace

bool DecodeBmp(const uint8_t* data, size_t size, StdPicture& out, LoadFailure* why) {
    out.clear();
    const LoadFailure failure = DecodeBmpPixels(data, size, out);
    if (why != nullptr) {
        *why = failure;
    }
    return !failure;
}

void SetVectorRowsDisabledForTesting(bool disabled) {
    vectorRowsDisabledForTesting.store(disabled);
}

}  // namespace quenda::bmp
