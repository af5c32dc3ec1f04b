#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

using Rgb = std::array<uint8_t, 3>;

// One image of a GIF file, its indices given top row first.
struct GifFrame {
    uint16_t left = 0;
    uint16_t top = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    bool interlaced = false;
    std::vector<Rgb> localTable;  // written when not empty (size a power of 2)
    std::vector<uint8_t> indices;
    int transparent = -1;  // a graphic control extension precedes the image when >= 0
    bool controlWithoutTransparency = false;  // a control extension with the flag clear
};

// Assembles GIF files with a plain LZW encoder, so tests can state what a file
// holds, including malformed ones.
struct GifBuilder {
    std::string signature = "GIF89a";
    uint16_t screenWidth = 0;
    uint16_t screenHeight = 0;
    std::vector<Rgb> globalTable;  // written when not empty (size a power of 2)
    bool applicationExtension = false;
    bool commentExtension = false;
    std::vector<GifFrame> frames;

    std::vector<uint8_t> Build() const;
};

// LZW-codes indices as GIF image data: the code size byte, then sub-blocks and
// the terminating zero-length one.
std::vector<uint8_t> EncodeGifImageData(const std::vector<uint8_t>& indices, int minCodeSize);

}  // namespace testsupport
