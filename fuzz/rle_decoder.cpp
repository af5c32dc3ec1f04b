// Device bitmap decoding of arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/RLEDecoder.h"
#include "engine/ZorixImgEngineEvents.h"
#include "fuzz/SizeCaps.h"
#include "imaging/c32bppDIB.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (fuzzcap::DeclaresHugeRle(data, size)) {
        return 0;
    }
    quenda::ZorixImgEngineEvents noEvents;
    quenda::c32bppDIB image;
    const quenda::RLEDecodeResult r =
        quenda::DecodeRLEBytes(std::span<const uint8_t>(data, size), "fuzz", image, noEvents);
    // A decoded image is complete: every pixel is premultiplied.
    if (r.success) {
        const uint8_t* p = image.BitsPointer();
        for (size_t i = 0; i < image.ByteCount(); i += 4) {
            if (p[i] > p[i + 3] || p[i + 1] > p[i + 3] || p[i + 2] > p[i + 3]) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
