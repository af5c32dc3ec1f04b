// Encodes arbitrary pictures wide enough for rows of more than 251 colours, some
// tall enough to be reduced in bands, at arbitrary settings and through both
// reductions with and without dithering, and checks that every picture converts
// to a file that decodes at its size, whose header counts what the encoder says,
// and whose opaque pictures stay opaque.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/RLEDecoder.h"
#include "engine/RLEEncoder.h"
#include "imaging/c32bppDIB.h"
#include "tests/engine/EncodeEventLog.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // No trace file while fuzzing: a folder that cannot exist.
    setenv("XDG_STATE_HOME", "/dev/null/zorix-fuzz", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 8) {
        return 0;
    }
    const int width = 1 + (data[0] | (data[1] << 8)) % 400;
    // Mostly a few rows at any settings; sometimes, with the default settings, enough
    // rows to be reduced in several bands (merging their many colours to a limit
    // would take the specified merging minutes).
    const bool tall = data[2] >= 248;
    const int height = tall ? 256 + (data[2] - 248) * 32 : 1 + data[2] % 16;
    const bool alpha = (data[3] & 1) != 0;
    const quenda::RLEEncodeOptions options{
        (data[3] & 2) != 0 && !tall ? quenda::RLEReduction::Best : quenda::RLEReduction::Classic,
        (data[3] & 4) != 0};
    const float accuracy = tall ? 100.0f : 90.0f + static_cast<float>(data[4] % 101) / 10.0f;
    const int32_t maxPalette = data[5] < 128 || tall ? 0 : (data[5] - 128) * 8 + (data[6] & 7);
    // Each pixel's colour also moves with its position, so that short inputs
    // still give rows of hundreds of colours.
    const unsigned stepX = data[6] >> 3, stepY = data[7];
    data += 8;
    size -= 8;

    quenda::c32bppDIB image;
    if (!image.InitializeDIB(width, height)) {
        return 0;
    }
    image.setAlpha(alpha);
    for (int y = 0; y < height && size >= 3; ++y) {
        for (int x = 0; x < width; ++x) {
            const size_t at = (static_cast<size_t>(y) * width + x) * 3 % (size - size % 3);
            const unsigned v = (data[at] | (data[at + 1] << 8)) + x * stepX + y * stepY * 37u;
            const uint32_t color = ((v >> 11) << 3) | (((v >> 5) & 63) << 10) | ((v & 31) << 19);
            const uint8_t a = alpha ? data[at + 2] : 255;
            image.SetPixel(x, y, color, a, false);
        }
    }

    enginetest::EventLog events;
    const quenda::RLEEncodeResult result =
        quenda::EncodeRLE("f.bmp", image, accuracy, maxPalette, options, events);
    if (!result.success || result.bytes.size() < 14) {
        std::abort();
    }
    const int count = result.bytes[8] | (result.bytes[9] << 8);
    if (count != result.colorCount + 1) {
        std::abort();
    }
    quenda::c32bppDIB decoded;
    enginetest::EventLog decodeEvents;
    if (!quenda::DecodeRLEBytes(result.bytes, "f.bmp", decoded, decodeEvents).success ||
        decoded.Width() != width || decoded.Height() != height) {
        std::abort();
    }
    if (!alpha) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                uint8_t a = 0;
                decoded.GetPixel(x, y, &a);
                if (a != 255) {
                    std::abort();
                }
            }
        }
    }
    return 0;
}
