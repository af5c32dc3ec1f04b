#include "codecs/PngRowDecoder.h"

#include "codecs/PngFormat.h"
#include "imaging/ByteOrder.h"
#include "imaging/PixelMath.h"

#include <cstring>
#include <type_traits>
#include <utility>

namespace quenda::png {

namespace {

// The filters that depend on the bytes to the left keep those bytes in registers,
// one per channel, so the channels' dependency chains run side by side instead of
// waiting for each byte to be stored and read back.
// Calls f(0), f(1), ... f(D - 1) with compile-time indexes, unrolled, so that arrays of
// D values indexed by them stay in registers.
template <unsigned D, typename F, size_t... K>
inline void ForEachChannelOf(F&& f, std::index_sequence<K...>) {
    (f(std::integral_constant<size_t, K>{}), ...);
}

template <unsigned D, typename F>
inline void ForEachChannel(F&& f) {
    ForEachChannelOf<D>(f, std::make_index_sequence<D>{});
}

template <unsigned D>
void UnfilterSubFixed(uint8_t* row, size_t rowBytes) {
    if (rowBytes <= D) {
        return;
    }
    uint8_t left[D];
    for (unsigned k = 0; k < D; ++k) {
        left[k] = row[k];
    }
    size_t i = D;
    for (; i + D <= rowBytes; i += D) {
        ForEachChannel<D>([&](auto k) {
            left[k] = static_cast<uint8_t>(row[i + k] + left[k]);
            row[i + k] = left[k];
        });
    }
    for (; i < rowBytes; ++i) {  // a trailing partial pixel cannot occur, but stay safe
        row[i] = static_cast<uint8_t>(row[i] + row[i - D]);
    }
}

// Eight bytewise sums in one 64-bit word: the low seven bits of each byte add without
// reaching the next byte, and the top bit is their carry xor both top bits.
inline uint64_t AddBytes(uint64_t a, uint64_t b) {
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    return ((a & kLow7) + (b & kLow7)) ^ ((a ^ b) & ~kLow7);
}

void UnfilterUp(uint8_t* row, const uint8_t* prior, size_t rowBytes) {
    size_t i = 0;
    for (; i + 8 <= rowBytes; i += 8) {
        uint64_t a = 0;
        uint64_t b = 0;
        std::memcpy(&a, row + i, 8);
        std::memcpy(&b, prior + i, 8);
        a = AddBytes(a, b);
        std::memcpy(row + i, &a, 8);
    }
    for (; i < rowBytes; ++i) {
        row[i] = static_cast<uint8_t>(row[i] + prior[i]);
    }
}

template <unsigned D>
void UnfilterAverageFixed(uint8_t* row, const uint8_t* prior, size_t rowBytes) {
    const size_t head = D < rowBytes ? D : rowBytes;
    unsigned left[D] = {};
    for (size_t k = 0; k < head; ++k) {
        row[k] = static_cast<uint8_t>(row[k] + (prior[k] >> 1));
        left[k] = row[k];
    }
    size_t i = D;
    for (; i + D <= rowBytes; i += D) {
        ForEachChannel<D>([&](auto k) {
            const uint8_t v = static_cast<uint8_t>(row[i + k] + ((left[k] + prior[i + k]) >> 1));
            row[i + k] = v;
            left[k] = v;
        });
    }
    for (; i < rowBytes; ++i) {
        row[i] = static_cast<uint8_t>(row[i] + ((row[i - D] + prior[i]) >> 1));
    }
}

template <unsigned D>
void UnfilterPaethFixed(uint8_t* row, const uint8_t* prior, size_t rowBytes) {
    if (rowBytes < D) {
        for (size_t i = 0; i < rowBytes; ++i) {
            row[i] = static_cast<uint8_t>(row[i] + prior[i]);
        }
        return;
    }
    int left[D];
    int upperLeft[D];
    for (unsigned k = 0; k < D; ++k) {
        row[k] = static_cast<uint8_t>(row[k] + prior[k]);
        left[k] = row[k];
        upperLeft[k] = prior[k];
    }
    size_t i = D;
    for (; i + D <= rowBytes; i += D) {
        ForEachChannel<D>([&](auto k) {
            const int up = prior[i + k];
            const uint8_t v =
                static_cast<uint8_t>(row[i + k] + PaethPredictor(left[k], up, upperLeft[k]));
            row[i + k] = v;
            left[k] = v;
            upperLeft[k] = up;
        });
    }
    for (; i < rowBytes; ++i) {
        row[i] = static_cast<uint8_t>(row[i] + PaethPredictor(row[i - D], prior[i], prior[i - D]));
    }
}

// Calls kernel with the filter distance as a compile-time constant: 1, 2, 3, 4, 6 or 8
// bytes, the only distances a valid header gives.
template <typename Kernel>
void WithDistance(unsigned d, Kernel&& kernel) {
    switch (d) {
        case 1:
            return kernel(std::integral_constant<unsigned, 1>{});
        case 2:
            return kernel(std::integral_constant<unsigned, 2>{});
        case 3:
            return kernel(std::integral_constant<unsigned, 3>{});
        case 4:
            return kernel(std::integral_constant<unsigned, 4>{});
        case 6:
            return kernel(std::integral_constant<unsigned, 6>{});
        default:
            return kernel(std::integral_constant<unsigned, 8>{});
    }
}

// Every pixel is written, alpha 0 as all zeros: the image block is not cleared first.
inline void PutClear(uint8_t* d) {
    std::memset(d, 0, 4);
}

inline void Put(uint8_t* d, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    if (a == 255) {
        d[0] = b;
        d[1] = g;
        d[2] = r;
        d[3] = 255;
    } else if (a == 0) {
        PutClear(d);
    } else {
        d[0] = Premultiply(b, a);
        d[1] = Premultiply(g, a);
        d[2] = Premultiply(r, a);
        d[3] = a;
    }
}

// Sample k of a row of sub-byte samples, most significant bits first.
inline uint32_t SubByteSample(const uint8_t* row, uint32_t k, unsigned depth) {
    const uint32_t bit = k * depth;
    const unsigned shift = 8 - depth - (bit & 7);
    return (row[bit >> 3] >> shift) & ((1u << depth) - 1);
}

inline uint32_t Sample(const uint8_t* row, uint32_t k, unsigned depth) {
    if (depth == 8) {
        return row[k];
    }
    if (depth == 16) {
        return row[2 * k];  // most significant byte
    }
    return SubByteSample(row, k, depth);
}

void ConvertGrey(const SampleFormat& f, const uint8_t* row, uint32_t count, uint8_t* dst,
                 size_t step) {
    const bool ramp = f.bitDepth < 8;
    for (uint32_t k = 0; k < count; ++k, dst += step) {
        const uint32_t v = Sample(row, k, f.bitDepth);
        if (f.hasKey && v == f.key[0]) {
            PutClear(dst);
            continue;
        }
        const uint8_t grey = ramp ? f.palette[3 * v] : static_cast<uint8_t>(v);
        Put(dst, grey, grey, grey, 255);
    }
}

// Every palette entry as the 4 bytes it is stored as; a transparent entry is all zero.
std::array<uint32_t, 256> StoredEntries(const SampleFormat& f, size_t entries) {
    std::array<uint32_t, 256> stored{};
    for (size_t i = 0; i < entries && i < stored.size(); ++i) {
        uint8_t pixel[4] = {0, 0, 0, 0};
        const uint8_t* rgb = &f.palette[3 * i];
        Put(pixel, rgb[0], rgb[1], rgb[2], f.indexAlpha[i]);
        std::memcpy(&stored[i], pixel, 4);
    }
    return stored;
}

// 8-bit indexes through a table of stored pixels.
bool ConvertPalette8(const SampleFormat& f, const uint8_t* row, uint32_t count, uint8_t* dst,
                     size_t step) {
    const size_t entries = f.palette.size() / 3;
    const std::array<uint32_t, 256> stored = StoredEntries(f, entries);
    for (uint32_t k = 0; k < count; ++k, dst += step) {
        const uint8_t index = row[k];
        if (index >= entries) {
            return false;
        }
        std::memcpy(dst, &stored[index], 4);
    }
    return true;
}

bool ConvertPalette(const SampleFormat& f, const uint8_t* row, uint32_t count, uint8_t* dst,
                    size_t step) {
    if (f.bitDepth == 8) {
        return ConvertPalette8(f, row, count, dst, step);
    }
    const size_t entries = f.palette.size() / 3;
    for (uint32_t k = 0; k < count; ++k, dst += step) {
        const uint32_t index = Sample(row, k, f.bitDepth);
        if (index >= entries) {
            return false;
        }
        const uint8_t* rgb = &f.palette[3 * index];
        Put(dst, rgb[0], rgb[1], rgb[2], f.indexAlpha[index]);
    }
    return true;
}

void ConvertRGB(const SampleFormat& f, const uint8_t* row, uint32_t count, uint8_t* dst,
                size_t step) {
    const size_t bytes = f.bitDepth == 16 ? 2 : 1;
    for (uint32_t k = 0; k < count; ++k, dst += step, row += 3 * bytes) {
        const uint8_t r = row[0];
        const uint8_t g = row[bytes];
        const uint8_t b = row[2 * bytes];
        if (f.hasKey && r == f.key[0] && g == f.key[1] && b == f.key[2]) {
            PutClear(dst);
            continue;
        }
        dst[0] = b;
        dst[1] = g;
        dst[2] = r;
        dst[3] = 255;
    }
}

// The premultiplying rule gives alpha 255 the colour unchanged and alpha 0 all zeros,
// so the samples with alpha convert without branches.
inline void PutScaled(uint8_t* d, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    d[0] = Premultiply(b, a);
    d[1] = Premultiply(g, a);
    d[2] = Premultiply(r, a);
    d[3] = a;
}

void ConvertGreyAlpha(const SampleFormat& f, const uint8_t* row, uint32_t count, uint8_t* dst,
                      size_t step) {
    const size_t bytes = f.bitDepth == 16 ? 2 : 1;
    for (uint32_t k = 0; k < count; ++k, dst += step, row += 2 * bytes) {
        PutScaled(dst, row[0], row[0], row[0], row[bytes]);
    }
}

// Adjacent pixels (a plain image): the three colours are scaled at once in 16-bit
// lanes of one word, with the same exact division by 255 as Premultiply.
void ConvertRGBA8Adjacent(const uint8_t* row, uint32_t count, uint8_t* dst) {
    constexpr uint64_t kLanes = 0x000000FF00FF00FFull;
    for (uint32_t k = 0; k < count; ++k, row += 4, dst += 4) {
        const uint64_t a = row[3];
        uint64_t t = (uint64_t{row[0]} | (uint64_t{row[1]} << 16) | (uint64_t{row[2]} << 32)) * a;
        t = ((t + 0x0000000100010001ull + ((t >> 8) & kLanes)) >> 8) & kLanes;
        const uint32_t red = static_cast<uint32_t>(t) & 0xFF;
        const uint32_t green = static_cast<uint32_t>(t >> 16) & 0xFF;
        const uint32_t blue = static_cast<uint32_t>(t >> 32);
        bytes::WriteLE32(dst, blue | (green << 8) | (red << 16) | (static_cast<uint32_t>(a) << 24));
    }
}

void ConvertRGBA(const SampleFormat& f, const uint8_t* row, uint32_t count, uint8_t* dst,
                 size_t step) {
    if (f.bitDepth == 16) {
        for (uint32_t k = 0; k < count; ++k, dst += step, row += 8) {
            PutScaled(dst, row[0], row[2], row[4], row[6]);
        }
        return;
    }
    if (step == 4) {
        ConvertRGBA8Adjacent(row, count, dst);
        return;
    }
    for (uint32_t k = 0; k < count; ++k, dst += step, row += 4) {
        PutScaled(dst, row[0], row[1], row[2], row[3]);
    }
}

}  // namespace

bool Unfilter(uint8_t filterType, uint8_t* row, const uint8_t* prior, size_t rowBytes,
              unsigned distance) {
    switch (filterType) {
        case kFilterNone:
            return true;
        case kFilterSub:
            WithDistance(distance, [&](auto d) { UnfilterSubFixed<d()>(row, rowBytes); });
            return true;
        case kFilterUp:
            UnfilterUp(row, prior, rowBytes);
            return true;
        case kFilterAverage:
            WithDistance(distance,
                         [&](auto d) { UnfilterAverageFixed<d()>(row, prior, rowBytes); });
            return true;
        case kFilterPaeth:
            WithDistance(distance, [&](auto d) { UnfilterPaethFixed<d()>(row, prior, rowBytes); });
            return true;
        default:
            return false;
    }
}

bool ConvertRow(const SampleFormat& format, const uint8_t* row, uint32_t count, uint8_t* dst,
                size_t step) {
    switch (format.colorType) {
        case kGrey:
            ConvertGrey(format, row, count, dst, step);
            return true;
        case kRGB:
            ConvertRGB(format, row, count, dst, step);
            return true;
        case kPalette:
            return ConvertPalette(format, row, count, dst, step);
        case kGreyAlpha:
            ConvertGreyAlpha(format, row, count, dst, step);
            return true;
        case kRGBA:
            ConvertRGBA(format, row, count, dst, step);
            return true;
        default:
            return false;
    }
}

}  // namespace quenda::png
