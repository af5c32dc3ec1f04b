#include "codecs/BmpHeader.h"

#include <algorithm>
#include <cstdint>

#include "imaging/ByteCursor.h"
#include "imaging/ByteOrder.h"

namespace quenda::bmp {

namespace {

using bytes::ReadLE16;
using bytes::ReadLE32;

constexpr size_t kV2HeaderSize = 52;  // info header with red, green and blue masks
constexpr size_t kOs2V2HeaderSize = 64;
constexpr uint64_t kMaxDimension = 1u << 20;
// The shortest file taken: a file header, a core header and four bytes after it.
constexpr size_t kShortestFile = kFileHeaderSize + 16;

LoadFailure Truncated(size_t at) {
    return LoadFailure::At(LoadFailure::Kind::Truncated, at);
}

LoadFailure Malformed() {
    return LoadFailure::At(LoadFailure::Kind::Malformed, 0, "BMP header");
}

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
    const int32_t height = static_cast<int32_t>(ReadLE32(h + kInfoHeightField));
    if (height == INT32_MIN) {
        return false;
    }
    info.width = static_cast<int32_t>(ReadLE32(h + kInfoWidthField));
    info.topDown = height < 0;
    info.height = height < 0 ? -height : height;
    info.bitsPerPixel = ReadLE16(h + kInfoBitsPerPixelField);
    // Short OS/2 headers stop early; absent fields are zero.
    info.compression =
        headerSize >= kInfoCompressionField + 4 ? ReadLE32(h + kInfoCompressionField) : kRgb;
    colorsUsed = headerSize >= kInfoColorsUsedField + 4 ? ReadLE32(h + kInfoColorsUsedField) : 0;
    if (headerSize == kOs2V2HeaderSize && info.compression > kRle4) {
        return false;  // OS/2 Huffman and RLE24 codings
    }
    if (headerSize >= kV2HeaderSize) {
        for (size_t i = 0; i < 3; ++i) {
            info.masks[i] = ReadLE32(h + kInfoMasksField + 4 * i);
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
bool ReadTrailingMasks(ByteCursor& cursor, BmpInfo& info) {
    const bool trailing = info.headerSize == kInfoHeaderSize &&
                          (info.compression == kBitFields || info.compression == kAlphaBitFields);
    if (!trailing) {
        return true;
    }
    for (uint32_t& mask : info.masks) {
        cursor.ReadLE32(mask);
    }
    uint32_t alphaMask = 0;
    if (info.compression == kAlphaBitFields) {
        cursor.ReadLE32(alphaMask);  // alpha is read as colour only
    }
    return !cursor.Failed();
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

void PlacePaletteAndPixels(size_t size, size_t declaredOffset, BmpInfo& info, uint32_t colorsUsed) {
    const uint32_t fullCount = IsIndexed(info.bitsPerPixel) ? 1u << info.bitsPerPixel : 0;
    uint64_t wanted = (colorsUsed == 0 || colorsUsed > fullCount) ? fullCount : colorsUsed;
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

LoadFailure ParseBmpInfo(const uint8_t* data, size_t size, BmpInfo& info) {
    info = BmpInfo();
    ByteCursor cursor(data, size);
    const uint8_t* file = cursor.Span(kFileHeaderSize);
    if (file != nullptr && !HasSignature(file, kFileHeaderSize)) {
        return Malformed();
    }
    // The header's own size field tells how far its span reaches; it is checked once.
    const uint8_t* h = data + kFileHeaderSize;
    if (!cursor.ReadLE32(info.headerSize) || info.headerSize < kCoreHeaderSize) {
        return cursor.Failed() ? Truncated(cursor.FailedAt()) : Malformed();
    }
    if (!cursor.Skip(info.headerSize - 4) || size < kShortestFile) {
        return Truncated(cursor.Failed() ? cursor.FailedAt() : size);
    }
    uint32_t colorsUsed = 0;
    const bool read = info.headerSize == kCoreHeaderSize
                          ? ReadCoreHeader(h, info)
                          : info.headerSize >= kInfoBitsPerPixelField + 2 &&
                                ReadInfoHeader(h, info.headerSize, info, colorsUsed);
    if (!read || info.width <= 0 || info.height <= 0 || !CompressionFits(info)) {
        return Malformed();
    }
    if (static_cast<uint64_t>(info.width) > kMaxDimension ||
        static_cast<uint64_t>(info.height) > kMaxDimension) {
        return LoadFailure::At(LoadFailure::Kind::TooLarge, 0);
    }
    if (!ReadTrailingMasks(cursor, info)) {
        return Truncated(cursor.FailedAt());
    }
    SetDefaultMasks(info);
    info.paletteOffset = cursor.Position();
    PlacePaletteAndPixels(size, ReadLE32(file + kPixelOffsetField), info, colorsUsed);
    return info.pixelOffset < size ? LoadFailure() : Truncated(size);
}

std::array<uint32_t, 256> ReadBmpPalette(const uint8_t* data, size_t size, const BmpInfo& info) {
    std::array<uint32_t, 256> palette;
    palette.fill(OpaqueBgra(0, 0, 0));
    ByteCursor cursor(data, size);
    cursor.Seek(info.paletteOffset);
    const size_t held = cursor.Remaining() / info.paletteEntrySize;
    const size_t count = std::min<size_t>({info.paletteCount, palette.size(), held});
    const uint8_t* entry = cursor.Span(count * info.paletteEntrySize);
    for (size_t i = 0; entry != nullptr && i < count; ++i, entry += info.paletteEntrySize) {
        palette[i] = OpaqueBgra(entry[0], entry[1], entry[2]);
    }
    return palette;
}

}  // namespace quenda::bmp
