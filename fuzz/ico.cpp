// Icon and cursor reader on arbitrary bytes, with a few requested sizes and depths.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "codecs/cICOparser.h"
#include "imaging/c32bppDIB.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    // The first byte picks the request, the rest is the file.
    const uint8_t pick = data[0];
    const std::vector<uint8_t> bytes(data + 1, data + size);
    quenda::c32bppDIB host;
    quenda::cICOparser parser;
    parser.LoadStream(bytes, (pick & 7) * 16, ((pick >> 3) & 7) * 16, &host, 0, 0,
                      (pick >> 6) * 8 + 8, 0);
    for (int32_t i = 1; i <= parser.IconCount(); ++i) {
        (void)parser.ColorCount(i);
        (void)parser.ColorByteOffset(i);
    }
    if (host.Handle() != 0) {
        // Every pixel must be readable and premultiplied.
        const uint8_t* p = host.BitsPointer();
        for (size_t i = 0; i < host.ByteCount(); i += 4) {
            if (p[i] > p[i + 3] || p[i + 1] > p[i + 3] || p[i + 2] > p[i + 3]) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
