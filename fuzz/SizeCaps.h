#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "imaging/ByteOrder.h"

namespace fuzzcap {

// Inputs declaring large pictures spend each run clearing memory rather than
// parsing; the size checks themselves are covered by the tests.
constexpr uint64_t kMaxPixels = uint64_t{1} << 18;

// Whether a width and height, either of which may be negative, make more pixels.
inline bool TooManyPixels(int64_t w, int64_t h) {
    return static_cast<uint64_t>((w < 0 ? -w : w) * (h < 0 ? -h : h)) > kMaxPixels;
}

// A device bitmap header declaring more pixels than that.
inline bool DeclaresHugeRle(const uint8_t* data, size_t size) {
    if (size < 8) {
        return false;
    }
    const int64_t w = static_cast<int16_t>(quenda::bytes::ReadLE16(data + 4));
    const int64_t h = static_cast<int16_t>(quenda::bytes::ReadLE16(data + 6));
    return TooManyPixels(w, h);
}

// A Windows bitmap header declaring more pixels than that.
inline bool DeclaresHugeBmp(const uint8_t* data, size_t size) {
    if (size < 26 || data[0] != 'B' || data[1] != 'M') {
        return false;
    }
    const int64_t w = static_cast<int32_t>(quenda::bytes::ReadLE32(data + 18));
    const int64_t h = static_cast<int32_t>(quenda::bytes::ReadLE32(data + 22));
    return TooManyPixels(w, h);
}

// A PNG declaring more pixels than that. Every IHDR counts, since the reader takes
// the last one.
inline bool DeclaresHugePng(const uint8_t* data, size_t size) {
    constexpr size_t kSignature = 8;
    constexpr size_t kChunkOverhead = 12;  // length, type, CRC
    for (size_t at = kSignature; at + kChunkOverhead <= size;) {
        const uint64_t length = quenda::bytes::ReadBE32(data + at);
        if (at + 16 <= size && std::memcmp(data + at + 4, "IHDR", 4) == 0) {
            const uint64_t w = quenda::bytes::ReadBE32(data + at + 8);
            const uint64_t h = quenda::bytes::ReadBE32(data + at + 12);
            if (w * h > kMaxPixels) {
                return true;
            }
        }
        at += kChunkOverhead + length;
    }
    return false;
}

}  // namespace fuzzcap
