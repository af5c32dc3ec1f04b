// Scaled device bitmap decoding of arbitrary bytes. The first three bytes choose the
// target's width, height and pixel order; the rest is the file. Whatever the bytes,
// the scaled decoder succeeds exactly when the full decoder does, gives its pixels at
// the picture's own size, and the prologue parsed from growing prefixes converges.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "engine/RLEDecoder.h"
#include "engine/RLEFile.h"
#include "engine/RLEScaledDecoder.h"
#include "engine/ZorixImgEngineEvents.h"
#include "imaging/c32bppDIB.h"

namespace {

// Full decodes beyond this many pixels are left to the plain decoder's own target.
constexpr int64_t kCrossCheckPixels = int64_t{1} << 20;

bool Decode(std::span<const uint8_t> file, int32_t w, int32_t h, quenda::RLEPixelOrder order,
            std::vector<uint8_t>& pixels) {
    pixels.assign(static_cast<size_t>(w) * h * 4, 0xCD);
    return quenda::DecodeRLEScaled(file, {pixels.data(), w * 4, w, h, order}).success;
}

void CheckPrologueConverges(std::span<const uint8_t> file) {
    quenda::rle::ParsedFile prologue;
    size_t have = 0, needed = 0;
    while (quenda::rle::ParsePrologue(file.first(have), prologue, needed) ==
               quenda::rle::ParseError::Truncated &&
           needed <= file.size()) {
        if (needed <= have) {
            __builtin_trap();
        }
        have = needed;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) {
        return 0;
    }
    const int32_t w = 1 + data[0] % 64;
    const int32_t h = 1 + data[1] % 64;
    const auto order = static_cast<quenda::RLEPixelOrder>(data[2] % 3);
    const std::span<const uint8_t> file(data + 3, size - 3);
    CheckPrologueConverges(file);

    std::vector<uint8_t> scaled;
    const bool ok = Decode(file, w, h, order, scaled);
    quenda::RLEImageInfo info;
    if (!quenda::ReadRLEInfo(file, info) || int64_t{info.width} * info.height > kCrossCheckPixels) {
        return 0;
    }
    quenda::ZorixImgEngineEvents noEvents;
    quenda::c32bppDIB image;
    const bool fullOk = quenda::DecodeRLEBytes(file, "fuzz", image, noEvents).success;
    if (ok != fullOk) {
        __builtin_trap();
    }
    std::vector<uint8_t> same;
    const bool sameOk =
        Decode(file, info.width, info.height, quenda::RLEPixelOrder::PremultipliedBGRA, same);
    if (sameOk != fullOk) {
        __builtin_trap();
    }
    if (fullOk) {
        for (int32_t y = 0; y < info.height; ++y) {
            const uint8_t* row = image.BitsPointer() + image.PixelOffset(0, y);
            if (std::memcmp(row, same.data() + static_cast<size_t>(y) * info.width * 4,
                            static_cast<size_t>(info.width) * 4) != 0) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
