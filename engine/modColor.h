#pragma once

#include <cstdint>

// Conversions between 8-bit-per-channel colour and the device's 16-bit palette form.
namespace quenda {

// The red (5 bits), green (6 bits) and blue (5 bits) fields of an RGB565 code.
struct Rgb565Fields {
    int red;
    int green;
    int blue;
};
constexpr Rgb565Fields FieldsOf565(uint16_t code) {
    return {code >> 11, (code >> 5) & 0x3F, code & 0x1F};
}

// Colour 0x00BBGGRR to RGB565 (each channel rounded to nearest).
uint16_t RGBTo565(uint32_t color);
// RGB565 to colour 0x00BBGGRR (each channel rounded to nearest).
uint32_t RGB565ToRGB(uint16_t rgb565);
// Similarity of two RGB565 colours in percent: 100 for equal, 0 for black and white.
double ColorSimilarity(uint16_t a, uint16_t b);

// 8-bit alpha to the 33-level form (0..32) and back.
uint8_t AlphaTo33(uint8_t alpha);
uint8_t Alpha33To255(uint8_t level);  // level must be at most 32

constexpr uint8_t kMaxAlpha33 = 32;

}  // namespace quenda
