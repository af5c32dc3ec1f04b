// Feeds arbitrary bytes to the GIF reader: the block walk, the rebuilt one-image
// file and its decoding.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "codecs/cGIFparser.h"
#include "imaging/c32bppDIB.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    quenda::c32bppDIB image;
    quenda::cGIFparser().LoadStream(bytes, image, 0, bytes.size());
    if (image.Handle() != 0) {
        // The first and last byte: a wrongly sized buffer shows under the sanitizer.
        const uint8_t* bits = image.BitsPointer();
        uint32_t sum = bits[0] + bits[image.ByteCount() - 1];
        __asm__ volatile("" : : "g"(sum) : "memory");
    }
    return 0;
}
