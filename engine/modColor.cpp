#include "engine/modColor.h"

#include <cstdlib>

#include "imaging/ColorWord.h"

namespace quenda {

namespace {

// nearest(value * to / from); none of the format's conversions meets an exact half
// except alpha level 16, handled where it occurs.
constexpr unsigned ScaleNearest(unsigned value, unsigned to, unsigned from) {
    return (value * to * 2 + from) / (from * 2);
}

}  // namespace

uint16_t RGBTo565(uint32_t color) {
    const ColorChannels c = ChannelsOf(color);
    return static_cast<uint16_t>((ScaleNearest(c.red, 31, 255) << 11) |
                                 (ScaleNearest(c.green, 63, 255) << 5) |
                                 ScaleNearest(c.blue, 31, 255));
}

uint32_t RGB565ToRGB(uint16_t rgb565) {
    const unsigned r = ScaleNearest(rgb565 >> 11, 255, 31);
    const unsigned g = ScaleNearest((rgb565 >> 5) & 0x3F, 255, 63);
    const unsigned b = ScaleNearest(rgb565 & 0x1F, 255, 31);
    return ColorWord(static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b));
}

double ColorSimilarity(uint16_t a, uint16_t b) {
    const int ra = a >> 11, ga = (a >> 5) & 0x3F, ba = a & 0x1F;
    const int rb = b >> 11, gb = (b >> 5) & 0x3F, bb = b & 0x1F;
    return 100.0 - (std::abs(ba - bb) / 31.0 * 100.0 + std::abs(ra - rb) / 31.0 * 100.0 +
                    std::abs(ga - gb) / 63.0 * 100.0) /
                       3.0;
}

uint8_t AlphaTo33(uint8_t alpha) {
    return static_cast<uint8_t>(ScaleNearest(alpha, 32, 255));
}

uint8_t Alpha33To255(uint8_t level) {
    // 16 * 255 / 32 = 127.5 is the one exact half; it rounds to even.
    return level == 16 ? 128 : static_cast<uint8_t>(ScaleNearest(level, 255, 32));
}

}  // namespace quenda
