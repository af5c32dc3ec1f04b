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
        uint32_t sum = 0;
        for (size_t i = 0; i < image.ByteCount(); ++i) {
            sum += image.BitsPointer()[i];
        }
        __asm__ volatile("" : : "g"(sum) : "memory");
    }
    return 0;
}
