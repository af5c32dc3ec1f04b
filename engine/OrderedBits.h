#pragma once

#include <cstdint>
#include <cstring>

namespace quenda {

// The bits of a float turned so that they order as the values do: one whole
// number then sorts or heaps a value together with an index in its low bits.
inline uint64_t OrderedBits(float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
}

}  // namespace quenda
