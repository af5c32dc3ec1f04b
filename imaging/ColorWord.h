#pragma once

#include <array>
#include <cstdint>

namespace quenda {

// A colour word is 0x00BBGGRR: red in the low byte, the high byte unused.
struct ColorChannels {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

constexpr ColorChannels ChannelsOf(uint32_t color) {
    return {static_cast<uint8_t>(color & 0xFF), static_cast<uint8_t>((color >> 8) & 0xFF),
            static_cast<uint8_t>((color >> 16) & 0xFF)};
}

constexpr uint32_t ColorWord(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<uint32_t>(red) | (static_cast<uint32_t>(green) << 8) |
           (static_cast<uint32_t>(blue) << 16);
}

// The colour as one opaque pixel in buffer order: blue, green, red, alpha.
constexpr std::array<uint8_t, 4> OpaquePixelOf(uint32_t color) {
    const ColorChannels c = ChannelsOf(color);
    return {c.blue, c.green, c.red, 255};
}

}  // namespace quenda
