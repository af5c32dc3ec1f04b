#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "imaging/ByteOrder.h"

namespace fuzzcap {

// Inputs declaring huge images only make the fuzzer slow; the size checks themselves
// are covered by the tests. Every IHDR counts, since the reader takes the last one.
inline bool DeclaresHugePng(const uint8_t* data, size_t size) {
    constexpr size_t kSignature = 8;
    constexpr size_t kChunkOverhead = 12;  // length, type, CRC
    constexpr uint64_t kMaxPixels = uint64_t{1} << 22;
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
