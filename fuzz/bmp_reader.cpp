// Feeds arbitrary bytes to the BMP reader, which hands whatever it does not read
// itself (every other bitmap kind, JPEG) to the platform picture loader.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "codecs/cBMPparser.h"
#include "fuzz/SizeCaps.h"
#include "imaging/c32bppDIB.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (fuzzcap::DeclaresHugeBmp(data, size)) {
        return 0;
    }
    const std::vector<uint8_t> bytes(data, data + size);
    quenda::c32bppDIB image;
    if (quenda::cBMPparser().LoadStream(bytes, image, 0, bytes.size()) && image.Handle() != 0) {
        // The first and last byte: a wrongly sized buffer shows under the sanitizer.
        const uint8_t* bits = image.BitsPointer();
        uint32_t sum = bits[0] + bits[image.ByteCount() - 1];
        __asm__ volatile("" : : "g"(sum) : "memory");
    }
    return 0;
}
