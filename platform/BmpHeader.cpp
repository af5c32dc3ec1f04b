#include "platform/BmpHeader.h"

#include <algorithm>
#include <cstdint>

#include "imaging/BitmapStride.h"
#include "imaging/ByteOrder.h"

namespace quenda::bmp {

namespace {

using bytes::ReadLE16;
using bytes::ReadLE32;

constexpr size_t kV2HeaderSize = 52;  // info header with red, green and blue masks
constexpr size_t kOs2V2HeaderSize = 64;
constexpr uint64_t kMaxDimension = 1u << 20;

bool IsIndexed(uint32_t bitsPerPixel) {
    return bitsPerPixel <= 8;
}

bool ReadCoreHeader(const uint8_t* h, BmpInfo& info) {
    info.width = ReadLE16(h + 4);
    info.height = ReadLE16(h + 6);
    info.bitsPerPixel = ReadLE16(h + 10);
    info.compression = kRgb;
    info.paletteEntrySize = 3;
    return true;
}

bool ReadInfoHeader(const uint8_t* h, size_t headerSize, BmpInfo& info, uint32_t& colorsUsed) {
    const int32_t height = static_cast<int32_t>(ReadLE32(h + 8));
    if (height == INT32_MIN) {
        return false;
    }
    info.width = static_cast<int32_t>(ReadLE32(h + 4));
    info.topDown = height < 0;
    info.height = height < 0 ? -height : height;
    info.bitsPerPixel = ReadLE16(h + 14);
    // Short OS/2 headers stop early; absent fields are zero.
    info.compression = headerSize >= 20 ? ReadLE32(h + 16) : kRgb;
    colorsUsed = headerSize >= 36 ? ReadLE32(h + 32) : 0;
    if (headerSize == kOs2V2HeaderSize && info.compression > kRle4) {
        return false;  // OS/2 Huffman and RLE24 codings
    }
    if (headerSize >= kV2HeaderSize) {
        for (size_t i = 0; i < 3; ++i) {
            info.masks[i] = ReadLE32(h + 40 + 4 * i);
        }
    }
    return true;
}

bool CompressionFits(const BmpInfo& info) {
    switch (info.compression) {
        case kRgb:
            return info.bitsPerPixel == 1 || info.bitsPerPixel == 2 || info.bitsPerPixel == 4 ||
                   info.bitsPerPixel == 8 || info.bitsPerPixel == 16 || info.bitsPerPixel == 24 ||
                   info.bitsPerPixel == 32;
        case kRle8:
            return info.bitsPerPixel == 8 && !info.topDown;
        case kRle4:
            return info.bitsPerPixel == 4 && !info.topDown;
        case kBitFields:
        case kAlphaBitFields:
            return info.bitsPerPixel == 16 || info.bitsPerPixel == 32;
        default:
            return false;
    }
}

// Bit fields of a plain info header follow it as three or four words.
size_t ReadTrailingMasks(const uint8_t* data, size_t size, BmpInfo& info) {
    const bool trailing = info.headerSize == kInfoHeaderSize &&
                          (info.compression == kBitFields || info.compression == kAlphaBitFields);
    if (!trailing) {
        return 0;
    }
    const size_t count = info.compression == kAlphaBitFields ? 4 : 3;
    const size_t at = kFileHeaderSize + info.headerSize;
    if (size < at + 4 * count) {
        return SIZE_MAX;
    }
    for (size_t i = 0; i < 3; ++i) {
        info.masks[i] = ReadLE32(data + at + 4 * i);
    }
    return 4 * count;
}

void SetDefaultMasks(BmpInfo& info) {
    if (info.compression != kRgb) {
        return;
    }
    if (info.bitsPerPixel == 16) {
        info.masks = {0x7C00, 0x03E0, 0x001F};
    } else if (info.bitsPerPixel == 32) {
        info.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    }
}

void PlacePaletteAndPixels(const uint8_t* data, size_t size, BmpInfo& info, uint32_t colorsUsed) {
    const uint32_t fullCount = IsIndexed(info.bitsPerPixel) ? 1u << info.bitsPerPixel : 0;
    uint64_t wanted = (colorsUsed == 0 || colorsUsed > fullCount) ? fullCount : colorsUsed;
    const size_t declaredOffset = ReadLE32(data + 10);
    // The palette ends where the pixels begin, and never past the data.
    uint64_t room = size - info.paletteOffset;
    if (declaredOffset > info.paletteOffset) {
        room = std::min<uint64_t>(room, declaredOffset - info.paletteOffset);
    }
    wanted = std::min<uint64_t>(wanted, room / info.paletteEntrySize);
    info.paletteCount = static_cast<uint32_t>(wanted);
    // An offset pointing into the headers is taken as "right after the palette".
    info.pixelOffset = declaredOffset >= info.paletteOffset
                           ? declaredOffset
                           : info.paletteOffset + info.paletteCount * info.paletteEntrySize;
}

}  // namespace

uint64_t BmpRowLength(int32_t width, uint32_t bitsPerPixel) {
    return BitmapRowLength(static_cast<uint64_t>(width), bitsPerPixel);
}

bool ParseBmpInfo(const uint8_t* data, size_t size, BmpInfo& info) {
    info = BmpInfo();
    if (size < kFileHeaderSize + 16 || data[0] != 'B' || data[1] != 'M') {
        return false;
    }
    const uint8_t* h = data + kFileHeaderSize;
    info.headerSize = ReadLE32(h);
    if (info.headerSize < kCoreHeaderSize || info.headerSize > size - kFileHeaderSize) {
        return false;
    }
    uint32_t colorsUsed = 0;
    const bool read =
        info.headerSize == kCoreHeaderSize
            ? ReadCoreHeader(h, info)
            : info.headerSize >= 16 && ReadInfoHeader(h, info.headerSize, info, colorsUsed);
    if (!read || info.width <= 0 || info.height <= 0 ||
        static_cast<uint64_t>(info.width) > kMaxDimension ||
        static_cast<uint64_t>(info.height) > kMaxDimension || !CompressionFits(info)) {
        return false;
    }
    const size_t maskBytes = ReadTrailingMasks(data, size, info);
    if (maskBytes == SIZE_MAX) {
        return false;
    }
    SetDefaultMasks(info);
    info.paletteOffset = kFileHeaderSize + info.headerSize + maskBytes;
    PlacePaletteAndPixels(data, size, info, colorsUsed);
    return info.pixelOffset < size;
}

std::array<uint32_t, 256> ReadBmpPalette(const uint8_t* data, size_t size, const BmpInfo& info) {
    std::array<uint32_t, 256> palette;
    palette.fill(OpaqueBgra(0, 0, 0));
    for (uint32_t i = 0; i < info.paletteCount && i < palette.size(); ++i) {
        const size_t at = info.paletteOffset + i * info.paletteEntrySize;
        if (at + 3 > size) {
            break;
        }
        palette[i] = OpaqueBgra(data[at], data[at + 1], data[at + 2]);
    }
    return palette;
}

}  // namespace quenda::bmp
