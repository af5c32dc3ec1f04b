#pragma once

#include <cstddef>
#include <cstdint>

// Byte layout of the device's run-length coded bitmap.
namespace quenda::rle {

constexpr size_t kHeaderSize = 14;
constexpr uint16_t kSignature = 0x4C52;   // "RL"
constexpr uint16_t kCheckValue = 0xF81F;  // RGB565 magenta
constexpr uint16_t kAlphaFlag = 0x0001;

// Header fields, little-endian 16-bit words at these offsets.
constexpr size_t kSignatureOffset = 0;
constexpr size_t kFlagsOffset = 2;
constexpr size_t kWidthOffset = 4;
constexpr size_t kHeightOffset = 6;
constexpr size_t kEntryCountOffset = 8;
constexpr size_t kRowCountOffset = 10;
constexpr size_t kCheckOffset = 12;

// The reader takes width, height, the row count and row lengths as signed 16-bit values,
// so a file carries none of them above this.
constexpr int32_t kLargestField = 32767;

// Row tokens.
constexpr uint8_t kBaseMarker = 0xFD;      // FD lo hi: codes are relative to a base
constexpr uint8_t kColorRun = 0xFE;        // FE code count
constexpr uint8_t kTransparentRun = 0xFF;  // FF count
constexpr uint8_t kLongRowLength = 0xFF;   // row length record FF hi lo

// The writer's code range: codes 1..251 address a window of palette entries.
constexpr int kWindowSize = 251;
// Palettes up to this size are coded directly, without windows.
constexpr int kDirectPaletteLimit = 250;

struct Header {
    bool hasAlpha = false;
    int16_t width = 0;
    int16_t height = 0;
    uint16_t entryCount = 0;  // N, palette entries including the transparent entry 0
    int16_t rowCount = 0;
};

// The recognition test: signature at offset 0 and check value at offset 12.
bool HasSignature(const uint8_t* data, size_t size);
// Reads the header fields; data must hold kHeaderSize bytes.
Header ReadHeader(const uint8_t* data);
// Writes the header, signature and check value included; out must hold kHeaderSize bytes.
void WriteHeader(const Header& header, uint8_t* out);

}  // namespace quenda::rle
