#pragma once

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Facts of the GIF file format shared by the engine's recognition test and the reader.
namespace quenda::gif {

constexpr size_t kSignatureSize = 6;

// "GIF87a" or "GIF89a", in any letter case.
inline bool HasSignature(const uint8_t* data, size_t size) {
    if (size < kSignatureSize) {
        return false;
    }
    char head[kSignatureSize];
    for (size_t i = 0; i < kSignatureSize; ++i) {
        head[i] = static_cast<char>(std::tolower(data[i]));
    }
    return std::memcmp(head, "gif89a", kSignatureSize) == 0 ||
           std::memcmp(head, "gif87a", kSignatureSize) == 0;
}

}  // namespace quenda::gif
