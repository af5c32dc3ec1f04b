// The own inflate decoder on arbitrary streams; the first two bytes choose the
// expected output size and the length-285 switch.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "codecs/InflateDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    const size_t expected = (size_t{data[0]} << 8 | data[1]) * 4;
    quenda::InflateOptions options;
    options.length285WithExtraBits = (data[0] & 0x80) != 0;
    options.zlibHeader = (data[1] & 1) != 0;
    std::vector<uint8_t> out(expected);
    size_t produced = 0;
    quenda::InflateStream(data + 2, size - 2, out.data(), out.size(), &produced, options);
    if (produced > out.size()) {
        __builtin_trap();
    }
    return 0;
}
