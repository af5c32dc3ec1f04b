// Render with arbitrary arguments into a surface inside a guarded block: nothing
// outside the surface may change.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "imaging/c32bppDIB.h"

namespace {

int32_t Take(const uint8_t*& data, size_t& size) {
    int32_t v = 0;
    const size_t n = size < 4 ? size : 4;
    std::memcpy(&v, data, n);
    data += n;
    size -= n;
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 8) {
        return 0;
    }
    const int32_t imageW = data[0] % 16 + 1, imageH = data[1] % 16 + 1;
    const int32_t surfaceW = data[2] % 24 + 1, surfaceH = data[3] % 24 + 1;
    const uint8_t flags = data[4];
    data += 5;
    size -= 5;
    quenda::c32bppDIB image;
    if (!image.InitializeDIB(imageW, imageH)) {
        return 0;
    }
    for (size_t i = 0; i < image.ByteCount(); ++i) {
        image.BitsPointer()[i] = static_cast<uint8_t>(i * 31);
    }
    image.setIsGDIplusEnabled((flags & 1) != 0);
    image.setIsAlphaBlendFriendly((flags & 2) != 0);
    image.setHighQualityInterpolation((flags & 4) != 0);
    image.setAlpha((flags & 8) != 0);
    constexpr int kMargin = 16;
    const int fullW = surfaceW + 2 * kMargin, fullH = surfaceH + 2 * kMargin;
    std::vector<uint8_t> block(static_cast<size_t>(fullW) * fullH * 4, 0x5A);
    quenda::Surface surface{block.data() + (static_cast<size_t>(kMargin) * fullW + kMargin) * 4,
                            surfaceW, surfaceH, static_cast<std::ptrdiff_t>(fullW) * 4};
    int32_t a[12];
    for (int32_t& v : a) {
        v = Take(data, size);
    }
    // Keep the work bounded: huge sizes are fine, but only a little of them is visible.
    image.Render(surface, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], true,
                 (flags & 16) != 0, nullptr, a[9] % 9 - 1, a[10] % 202 - 101,
                 (flags & 32) ? static_cast<double>(a[11] % 720) : 0.0, (flags & 64) != 0);
    for (int y = 0; y < fullH; ++y) {
        for (int x = 0; x < fullW; ++x) {
            const bool inside =
                x >= kMargin && x < kMargin + surfaceW && y >= kMargin && y < kMargin + surfaceH;
            if (!inside && block[(static_cast<size_t>(y) * fullW + x) * 4] != 0x5A) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
