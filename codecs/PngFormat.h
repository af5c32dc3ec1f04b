#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

// Constants of the PNG file format shared by the reader and the writer.
namespace quenda::png {

constexpr std::array<uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// Where the header fields stand in a file: the signature, then the IHDR chunk's
// length and type, then its 13 data bytes.
constexpr size_t kFileChunkTypeOffset = 12;
constexpr size_t kFileWidthOffset = 16;
constexpr size_t kFileHeightOffset = 20;
constexpr size_t kFileBitDepthOffset = 24;
constexpr size_t kFileColorTypeOffset = 25;
constexpr size_t kFileHeaderEnd = 33;

inline bool HasSignature(const uint8_t* data, size_t size) {
    return size >= kSignature.size() && std::equal(kSignature.begin(), kSignature.end(), data);
}

constexpr uint32_t ChunkType(char a, char b, char c, char d) {
    return (static_cast<uint32_t>(static_cast<uint8_t>(a)) << 24) |
           (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 8) |
           static_cast<uint32_t>(static_cast<uint8_t>(d));
}

constexpr uint32_t kIHDR = ChunkType('I', 'H', 'D', 'R');
constexpr uint32_t kPLTE = ChunkType('P', 'L', 'T', 'E');
constexpr uint32_t kTRNS = ChunkType('t', 'R', 'N', 'S');
constexpr uint32_t kIDAT = ChunkType('I', 'D', 'A', 'T');
constexpr uint32_t kIEND = ChunkType('I', 'E', 'N', 'D');
constexpr uint32_t kBKGD = ChunkType('b', 'K', 'G', 'D');
constexpr uint32_t kTIME = ChunkType('t', 'I', 'M', 'E');
constexpr uint32_t kTEXT = ChunkType('t', 'E', 'X', 't');
constexpr uint32_t kZTXT = ChunkType('z', 'T', 'X', 't');

enum ColorType : uint8_t {
    kGrey = 0,
    kRGB = 2,
    kPalette = 3,
    kGreyAlpha = 4,
    kRGBA = 6,
};

// Samples a pixel holds in a colour type; palette indices and grey are one.
constexpr unsigned ChannelCount(uint8_t colorType) {
    switch (colorType) {
        case kRGB:
            return 3;
        case kGreyAlpha:
            return 2;
        case kRGBA:
            return 4;
        default:
            return 1;
    }
}

enum Filter : uint8_t {
    kFilterNone = 0,
    kFilterSub = 1,
    kFilterUp = 2,
    kFilterAverage = 3,
    kFilterPaeth = 4
};

// One pass of the image: rows firstRow + k * rowStep, columns firstColumn + k * columnStep.
struct Pass {
    uint8_t firstRow;
    uint8_t firstColumn;
    uint8_t rowStep;
    uint8_t columnStep;
};

// Passes 1 to 7 of Adam7, then the single pass of a non-interlaced image.
constexpr std::array<Pass, 8> kPasses = {{{0, 0, 8, 8},
                                          {0, 4, 8, 8},
                                          {4, 0, 8, 4},
                                          {0, 2, 4, 4},
                                          {2, 0, 4, 2},
                                          {0, 1, 2, 2},
                                          {1, 0, 2, 1},
                                          {0, 0, 1, 1}}};
constexpr size_t kNonInterlacedPass = 7;

// Count of image rows or columns a pass covers out of `extent`.
constexpr uint32_t PassExtent(uint32_t extent, uint32_t first, uint32_t step) {
    return extent > first ? (extent - first + step - 1) / step : 0;
}

// The Paeth predictor: left when its distance is not greater than both others, else
// up when up's is not greater than upper-left's, else upper-left.
inline int PaethPredictor(int a, int b, int c) {
    const int pa = b > c ? b - c : c - b;
    const int pb = a > c ? a - c : c - a;
    const int pcRaw = a + b - 2 * c;
    const int pc = pcRaw < 0 ? -pcRaw : pcRaw;
    const int bc = pb <= pc ? b : c;
    return (pa <= pb && pa <= pc) ? a : bc;
}

}  // namespace quenda::png
