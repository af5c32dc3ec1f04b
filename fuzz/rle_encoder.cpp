// Encodes small arbitrary images at arbitrary settings and checks the result
// against the plain reference encoder, byte for byte and event for event, and
// that every file produced decodes.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/RLEDecoder.h"
#include "engine/RLEEncoder.h"
#include "imaging/c32bppDIB.h"
#include "tests/engine/EncodeEventLog.h"
#include "tests/engine/PlainRLEEncoder.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // No trace file while fuzzing: a folder that cannot exist.
    setenv("XDG_STATE_HOME", "/dev/null/zorix-fuzz", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 6) {
        return 0;
    }
    const int width = 1 + data[0] % 32;
    const int height = 1 + data[1] % 24;
    const bool alpha = (data[2] & 1) != 0;
    const float accuracy = 90.0f + static_cast<float>(data[3] % 101) / 10.0f;
    const int32_t maxPalette = data[4] < 128 ? 0 : (data[4] - 128) * 3 + (data[5] & 3);
    // Optionally shift each pixel's colour by its position, so that short inputs
    // still give images of hundreds of near shades.
    const unsigned stepX = (data[5] >> 2) & 7, stepY = data[5] >> 5;
    data += 6;
    size -= 6;

    quenda::c32bppDIB image;
    if (!image.InitializeDIB(width, height)) {
        return 0;
    }
    image.setAlpha(alpha);
    // Three bytes per pixel: colour from the first two (RGB565-like spread), and
    // an alpha level from the third; the input repeats when it runs out.
    for (int y = 0; y < height && size >= 3; ++y) {
        for (int x = 0; x < width; ++x) {
            const size_t at = (static_cast<size_t>(y) * width + x) * 3 % (size - size % 3);
            const unsigned v = (data[at] | (data[at + 1] << 8)) + x * stepX + y * stepY * 33u;
            const uint32_t color = ((v >> 11) << 3) | (((v >> 5) & 63) << 10) | ((v & 31) << 19);
            const uint8_t a = alpha ? data[at + 2] : 255;
            image.SetPixel(x, y, color, a, false);
        }
    }

    enginetest::EventLog fastEvents, plainEvents;
    const quenda::RLEEncodeResult fast =
        quenda::EncodeRLE("f.bmp", image, accuracy, maxPalette, fastEvents);
    const plain::Outcome reference =
        plain::EncodeRLE("f.bmp", image, accuracy, maxPalette, plainEvents);
    if (fast.success != reference.success || fast.bytes != reference.bytes ||
        fast.paletteOverflow != reference.paletteOverflow ||
        fastEvents.lines != plainEvents.lines) {
        std::abort();
    }
    if (fast.success) {
        quenda::c32bppDIB decoded;
        enginetest::EventLog decodeEvents;
        if (!quenda::DecodeRLEBytes(fast.bytes, "f.bmp", decoded, decodeEvents).success ||
            decoded.Width() != width || decoded.Height() != height) {
            std::abort();
        }
    }
    return 0;
}
