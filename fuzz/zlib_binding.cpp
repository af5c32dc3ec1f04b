// The zlib binding's inflating on arbitrary streams: the faster library must answer as
// zlib does on every stream zlib accepts, byte for byte, and may refuse nothing zlib
// accepts. The first two bytes choose the output capacity.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "codecs/ZlibBinding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    const size_t capacity = (size_t{data[0]} << 8 | data[1]) * 4;
    std::vector<uint8_t> fast(capacity);
    std::vector<uint8_t> plain(capacity);
    size_t fastProduced = capacity;
    size_t plainProduced = capacity;
    const bool fastOk = quenda::zlib::Uncompress(fast.data(), fastProduced, data + 2, size - 2);
    const bool plainOk = quenda::zlib::Uncompress(plain.data(), plainProduced, data + 2, size - 2,
                                                  {.fastLibraryMissing = true});
    if (plainOk && (!fastOk || fastProduced != plainProduced ||
                    std::memcmp(fast.data(), plain.data(), plainProduced) != 0)) {
        __builtin_trap();
    }
    return 0;
}
