// Feeds arbitrary bytes to the BMP reader, which hands whatever it does not read
// itself (every other bitmap kind, JPEG) to the platform picture loader.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "codecs/cBMPparser.h"
#include "imaging/ByteOrder.h"
#include "imaging/c32bppDIB.h"

namespace {

// Headers claiming very large pictures are valid but only cost time here: the
// decoder fills every pixel of a run-length picture however short its data.
bool ClaimsHugePicture(const uint8_t* data, size_t size) {
    if (size < 26 || data[0] != 'B' || data[1] != 'M') {
        return false;
    }
    const int64_t w = static_cast<int32_t>(quenda::bytes::ReadLE32(data + 18));
    const int64_t h = static_cast<int32_t>(quenda::bytes::ReadLE32(data + 22));
    return (w < 0 ? -w : w) * (h < 0 ? -h : h) > (int64_t{1} << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (ClaimsHugePicture(data, size)) {
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
