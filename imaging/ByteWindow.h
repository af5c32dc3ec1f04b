#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quenda {

// The part of a byte array a reader is offered: from `start`, `length` bytes or as many
// as remain. Readers differ on a length of 0: for some it is nothing, for others the rest.
struct ByteWindow {
    const uint8_t* data = nullptr;  // null when start lies past the end
    size_t size = 0;

    enum class ZeroLength { Nothing, Rest };

    static ByteWindow Of(const std::vector<uint8_t>& bytes, size_t start, size_t length,
                         ZeroLength zero = ZeroLength::Nothing) {
        if (start >= bytes.size()) {
            return {};
        }
        const size_t available = bytes.size() - start;
        const bool rest = length == 0 && zero == ZeroLength::Rest;
        return {bytes.data() + start, rest ? available : std::min(length, available)};
    }
};

}  // namespace quenda
