// TGA reader on arbitrary bytes; what it accepts is written back and read again.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "codecs/cTGAparser.h"
#include "imaging/c32bppDIB.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    quenda::c32bppDIB host;
    quenda::cTGAparser parser;
    if (!parser.LoadStream(bytes, host) || host.Handle() == 0) {
        return 0;
    }
    const uint8_t* p = host.BitsPointer();
    for (size_t i = 0; i < host.ByteCount(); i += 4) {
        if (p[i] > p[i + 3] || p[i + 1] > p[i + 3] || p[i + 2] > p[i + 3]) {
            __builtin_trap();  // the host must hold premultiplied pixels
        }
    }
    if (host.ByteCount() > (1u << 20)) {
        return 0;
    }
    std::vector<uint8_t> written;
    const bool options = size % 2 == 0;
    if (!parser.SaveAsTGA({}, written, host, options, !options, options)) {
        __builtin_trap();
    }
    quenda::c32bppDIB again;
    if (!quenda::cTGAparser().LoadStream(written, again) || again.Width() != host.Width() ||
        again.Height() != host.Height()) {
        __builtin_trap();
    }
    return 0;
}
