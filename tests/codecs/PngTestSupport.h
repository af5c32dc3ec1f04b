#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "imaging/c32bppDIB.h"

namespace pngtest {

// A PNG decoded by libpng to its raw samples: sub-byte samples unpacked to one byte
// each, 16-bit samples as two bytes (most significant first), interlacing undone.
struct RawImage {
    uint32_t width = 0;
    uint32_t height = 0;
    int bitDepth = 0;
    int colorType = 0;
    int channels = 0;
    std::vector<std::vector<uint8_t>> rows;
    std::vector<std::array<uint8_t, 3>> palette;
    std::vector<uint8_t> paletteAlpha;           // tRNS of a palette image
    std::optional<std::array<uint16_t, 3>> key;  // tRNS of grey (index 0) or RGB images
};

bool ReadWithLibpng(const std::vector<uint8_t>& png, RawImage& out);

// What the reader must produce for a raw image: premultiplied BGRA, top row first,
// and the Alpha flag.
std::vector<uint8_t> ExpectedBGRA(const RawImage& raw, bool* alpha);

// libpng's straight (not premultiplied) RGBA of a PNG, top row first, 16-bit samples
// reduced to their most significant byte.
bool DecodeRGBAWithLibpng(const std::vector<uint8_t>& png, uint32_t& width, uint32_t& height,
                          std::vector<uint8_t>& rgba);

struct EncodeSpec {
    uint32_t width = 1;
    uint32_t height = 1;
    int bitDepth = 8;
    int colorType = 0;
    bool interlace = false;
    std::vector<std::array<uint8_t, 3>> palette;
    std::vector<uint8_t> paletteAlpha;
    std::optional<std::array<uint16_t, 3>> key;
    std::vector<std::vector<uint8_t>> rows;  // packed rows as PNG stores them
};
std::vector<uint8_t> EncodeWithLibpng(const EncodeSpec& spec);

// Packed row bytes for a width of pixels.
size_t RowBytes(uint32_t width, int bitDepth, int colorType);

// PNG assembled chunk by chunk, so tests can write malformed files.
struct ChunkList {
    std::vector<uint8_t> bytes;
    ChunkList();
    ChunkList& Add(const char* type, const std::vector<uint8_t>& data);
    // A chunk with an explicit stored CRC.
    ChunkList& AddWithCrc(const char* type, const std::vector<uint8_t>& data, uint32_t crc);
    ChunkList& Header(uint32_t width, uint32_t height, uint8_t depth, uint8_t colorType,
                      uint8_t interlace = 0);
    ChunkList& End();
};
std::vector<uint8_t> ZlibCompress(const std::vector<uint8_t>& data, int level = 9);
uint32_t Crc(const char* type, const std::vector<uint8_t>& data);

// The chunks of a PNG in file order: type and data.
std::vector<std::pair<std::string, std::vector<uint8_t>>> ListChunks(
    const std::vector<uint8_t>& png);

// Buffer pixels top row first, as stored (premultiplied BGRA).
std::vector<uint8_t> TopDownPixels(const quenda::c32bppDIB& image);

std::filesystem::path CorpusDir();

}  // namespace pngtest
