#include "codecs/cBMPparser.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "imaging/AlphaAnalysis.h"
#include "imaging/BitmapStride.h"
#include "imaging/ByteCursor.h"
#include "imaging/ByteOrder.h"
#include "imaging/ByteWindow.h"
#include "imaging/c32bppDIB.h"
#include "codecs/BmpHeader.h"
#include "codecs/PictureLoader.h"
#include "codecs/StdPicture.h"

namespace quenda {

namespace {

using bytes::ReadLE16;
using bytes::ReadLE32;

constexpr size_t kFieldsEnd = bmp::kCompressionField + 4;  // through the compression field

// Copies rows into a new block, turning a top-down file over.
std::unique_ptr<uint8_t[]> CopyRows(const uint8_t* rows, int32_t width, int32_t height,
                                    bool topDown) {
    std::unique_ptr<uint8_t[]> bits = AllocatePixels(width, height, 4);
    if (!bits) {
        return bits;
    }
    const size_t rowLength = static_cast<size_t>(width) * 4;
    if (!topDown) {
        std::memcpy(bits.get(), rows, rowLength * height);
        return bits;
    }
    for (int32_t k = 0; k < height; ++k) {
        std::memcpy(bits.get() + rowLength * (height - 1 - k), rows + rowLength * k, rowLength);
    }
    return bits;
}

}  // namespace

cBMPparser::OwnPath cBMPparser::LoadOwn32bpp(const uint8_t* data, size_t size, c32bppDIB& image) {
    ByteCursor cursor(data, size);
    const uint8_t* h = cursor.Span(kFieldsEnd);
    if (h == nullptr) {
        return OwnPath::NotTaken;
    }
    const uint16_t bitsPerPixel = ReadLE16(h + bmp::kBitsPerPixelField);
    const int32_t width = static_cast<int32_t>(ReadLE32(h + bmp::kWidthField));
    const int32_t height = static_cast<int32_t>(ReadLE32(h + bmp::kHeightField));
    if (width < 1 || height == 0) {
        image.SetLoadFailure(LoadFailure::At(LoadFailure::Kind::Malformed, 0, "BMP header"));
        return OwnPath::Refused;
    }
    const uint64_t absHeight = height < 0 ? -static_cast<int64_t>(height) : height;
    const uint64_t rowLength = BitmapRowLength(static_cast<uint64_t>(width), bitsPerPixel);
    // Core headers have other fields at these offsets; they go to the loader.
    const bool infoHeader = ReadLE32(h + bmp::kHeaderSizeField) >= bmp::kInfoHeaderSize;
    if (bitsPerPixel != 32 || ReadLE32(h + bmp::kCompressionField) != bmp::kRgb || !infoHeader ||
        absHeight > INT32_MAX || rowLength * absHeight > SIZE_MAX) {
        return OwnPath::NotTaken;
    }
    // The rows' span is checked once; a short file goes to the loader, which says why.
    const uint8_t* rows = cursor.Seek(ReadLE32(h + bmp::kPixelOffsetField))
                              ? cursor.Span(static_cast<size_t>(rowLength * absHeight))
                              : nullptr;
    if (rows == nullptr) {
        return OwnPath::NotTaken;
    }
    std::unique_ptr<uint8_t[]> bits =
        CopyRows(rows, width, static_cast<int32_t>(absHeight), height < 0);
    if (!bits || !image.AdoptBits(std::move(bits), width, static_cast<int32_t>(absHeight))) {
        return OwnPath::NotTaken;
    }
    ApplyAlphaAnalysis(image, true, AlphaMode::Analyze);
    return OwnPath::Taken;
}

bool cBMPparser::LoadStream(const std::vector<uint8_t>& bytes, c32bppDIB& image, size_t start,
                            size_t length) {
    const ByteWindow window = ByteWindow::Of(bytes, start, length);
    return window.data != nullptr && Load(window.data, window.size, image);
}

bool cBMPparser::Load(const uint8_t* data, size_t length, c32bppDIB& image) {
    if (bmp::HasSignature(data, length)) {
        const OwnPath own = LoadOwn32bpp(data, length, image);
        if (own == OwnPath::Refused) {
            return false;
        }
        if (own == OwnPath::Taken) {
            return true;
        }
    }
    if (image.Handle() != 0) {
        return true;
    }
    StdPicture picture;
    LoadFailure why;
    if (!LoadStdPicture(data, length, picture, &why)) {
        if (why) {
            image.SetLoadFailure(std::move(why));
        }
        return false;
    }
    const int32_t bitsPerPixel =
        length >= bmp::kBitsPerPixelField + 2 ? ReadLE16(data + bmp::kBitsPerPixelField) : 0;
    return ConvertstdPicTo32bpp(picture, image, bitsPerPixel);
}

bool cBMPparser::ConvertstdPicTo32bpp(StdPicture& picture, c32bppDIB& image, int32_t bitsPerPixel) {
    (void)bitsPerPixel;
    image.DestroyDIB();
    if (picture.empty()) {
        return false;
    }
    const int32_t type = picture.type;
    if (!picture.bgra) {
        // A paletted picture draws itself with its palette.
        picture.bgra = AllocatePixels(picture.width, picture.height, 4);
        if (!picture.bgra || !picture.indices) {
            return false;
        }
        DrawPalettedPicture(picture, picture.bgra.get());
    }
    if (!image.AdoptBits(std::move(picture.bgra), picture.width, picture.height)) {
        return false;
    }
    // The loader's pixels are opaque already: this is the take-as-opaque verdict.
    image.setAlpha(false);
    image.setImageType(type);
    return true;
}

}  // namespace quenda
