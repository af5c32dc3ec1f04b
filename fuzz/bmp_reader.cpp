// Feeds arbitrary bytes to the BMP reader, which hands whatever it does not read
// itself (every other bitmap kind, JPEG) to the platform picture loader.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "codecs/cBMPparser.h"
#include "imaging/c32bppDIB.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    quenda::c32bppDIB image;
    if (quenda::cBMPparser().LoadStream(bytes, image, 0, bytes.size()) && image.Handle() != 0) {
        // Touch every pixel so a wrongly sized buffer shows.
        uint32_t sum = 0;
        for (size_t i = 0; i < image.ByteCount(); ++i) {
            sum += image.BitsPointer()[i];
        }
        __asm__ volatile("" : : "g"(sum) : "memory");
    }
    return 0;
}
