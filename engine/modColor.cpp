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
    const Rgb565Fields f = FieldsOf565(rgb565);
    const unsigned r = ScaleNearest(f.red, 255, 31);
    const unsigned g = ScaleNearest(f.green, 255, 63);
    const unsigned b = ScaleNearest(f.blue, 255, 31);
    return ColorWord(static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b));
}

double ColorSimilarity(uint16_t a, uint16_t b) {
    const Rgb565Fields x = FieldsOf565(a);
    const Rgb565Fields y = FieldsOf565(b);
    return 100.0 -
           (std::abs(x.blue - y.blue) / 31.0 * 100.0 + std::abs(x.red - y.red) / 31.0 * 100.0 +
            std::abs(x.green - y.green) / 63.0 * 100.0) /
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
