#include "codecs/cTGAparser.h"

#include <algorithm>
#include <cstring>

#include "imaging/AlphaAnalysis.h"
#include "imaging/ByteCursor.h"
#include "imaging/ByteWindow.h"
#include "imaging/c32bppDIB.h"

namespace quenda {

namespace {

uint32_t PackBgra(uint32_t b, uint32_t g, uint32_t r, uint32_t a) {
    return b | (g << 8) | (r << 16) | (a << 24);
}

Failure Truncated(size_t at) {
    return Failure::At(FailureKind::Truncated, at);
}

uint32_t FiveToEight(uint32_t v) {
    return v * 8 + (v & 7);
}

// A stored value of `bits` bits: grey (8), grey with alpha (16 in grey images),
// 5-5-5 colour with the optional transparency bit, 24 or 32-bit colour.
uint32_t ExpandValue(const uint8_t* p, unsigned bits, bool grey, bool transparencyBit) {
    if (grey) {
        return PackBgra(p[0], p[0], p[0], bits == 16 ? p[1] : 255);
    }
    switch (bits) {
        case 8:
            return PackBgra(p[0], p[0], p[0], 255);
        case 15:
        case 16: {
            const uint32_t v = bytes::ReadLE16(p);
            const uint32_t alpha = transparencyBit && (v & 0x8000) ? 0 : 255;
            return PackBgra(FiveToEight(v & 31), FiveToEight((v >> 5) & 31),
                            FiveToEight((v >> 10) & 31), alpha);
        }
        case 24:
            return PackBgra(p[0], p[1], p[2], 255);
        default:
            return bytes::ReadLE32(p);
    }
}

// Finds the footer text within the last footer-size bytes; the footer starts eight
// bytes before it. Returns the footer's start, or 0 when there is none.
size_t FindFooter(const uint8_t* data, size_t size) {
    if (size <= 23 || size < tga::kHeaderSize + tga::kFooterSize) {
        return 0;
    }
    for (size_t back = tga::kSignatureLength + 1; back <= tga::kFooterSize; ++back) {
        const size_t pos = size - back;
        if (std::memcmp(data + pos, tga::kSignature, tga::kSignatureLength) == 0) {
            return pos - 8 >= tga::kHeaderSize ? pos - 8 : 0;
        }
    }
    return 0;
}

// Writes decoded pixels in stored order into their places in the host.
class PixelPlacer {
  public:
    PixelPlacer(c32bppDIB& host, bool topDown, bool rightToLeft)
        : host_(host), topDown_(topDown), rightToLeft_(rightToLeft) {
        total_ = static_cast<uint64_t>(host.Width()) * static_cast<uint64_t>(host.Height());
    }
    bool full() const { return placed_ >= total_; }
    uint64_t remaining() const { return total_ - placed_; }
    void put(uint32_t pixel) {
        const int32_t w = host_.Width();
        const int32_t storedRow = static_cast<int32_t>(placed_ / static_cast<uint64_t>(w));
        const int32_t storedCol = static_cast<int32_t>(placed_ % static_cast<uint64_t>(w));
        const int32_t y = topDown_ ? storedRow : host_.Height() - 1 - storedRow;
        const int32_t x = rightToLeft_ ? w - 1 - storedCol : storedCol;
        bytes::WriteLE32(host_.BitsPointer() + host_.PixelOffset(x, y), pixel);
        ++placed_;
    }

  private:
    c32bppDIB& host_;
    bool topDown_;
    bool rightToLeft_;
    uint64_t total_ = 0;
    uint64_t placed_ = 0;
};

}  // namespace

bool cTGAparser::LoadStream(const std::vector<uint8_t>& bytes, c32bppDIB& host, size_t offset,
                            size_t length) {
    const ByteWindow window = ByteWindow::Of(bytes, offset, length, ByteWindow::ZeroLength::Rest);
    return window.data != nullptr && LoadStream(window.data, window.size, host);
}

bool cTGAparser::LoadStream(const uint8_t* data, size_t size, c32bppDIB& host) {
    Layout layout;
    Failure why;
    if (data == nullptr || !Inspect(data, size, layout, why)) {
        return why ? Fail(host, std::move(why)) : false;
    }
    // Packets of at most 128 pixels: too few bytes for the declared size means the
    // data is cut short, found out before any memory is spent on it.
    if (layout.header.runLength()) {
        const uint64_t packets = (layout.dataEnd - layout.pixelStart) / (1 + layout.pixelBytes);
        const uint64_t pixels = static_cast<uint64_t>(layout.header.width) * layout.header.height;
        if (pixels > (packets + 1) * 128) {
            return Fail(host, Truncated(layout.dataEnd));
        }
    }
    if (!host.InitializeDIB(layout.header.width, layout.header.height)) {
        return Fail(host, Failure::At(FailureKind::TooLarge, 0));
    }
    if (Failure damaged = DecodePixels(data, layout, host)) {
        return Fail(host, std::move(damaged));
    }
    ApplyAlphaAnalysis(host, true, AlphaMode::Analyze);
    host.setImageType(IMAGE_TGA);
    return true;
}

bool cTGAparser::Fail(c32bppDIB& host, Failure why) {
    host.DestroyDIB();
    host.SetFailure(std::move(why));
    return false;
}

bool cTGAparser::CheckHeader(const tga::Header& h) const {
    const uint8_t base = h.baseType();
    const bool knownType =
        h.imageType <= 11 && base >= 1 && base <= 3 && (h.imageType & ~0x0B) == 0;
    if (!knownType || h.width < 1 || h.height < 1) {
        return false;
    }
    if (h.mapPresent()) {
        const bool entryOk = h.entrySize == 8 || h.entrySize == 15 || h.entrySize == 16 ||
                             h.entrySize == 24 || h.entrySize == 32;
        if (h.firstEntry < 0 || h.mapLength < 1 || !entryOk) {
            return false;
        }
    }
    switch (base) {
        case tga::kColourMapped:
            return h.mapPresent() && h.depth == 8;
        case tga::kGrey:
            // Grey is one byte, or grey plus an alpha byte.
            return h.depth == 8 || h.depth == 16;
        default:
            return h.depth == 8 || h.depth == 15 || h.depth == 16 || h.depth == 24 || h.depth == 32;
    }
}

void cTGAparser::ReadExtension(const uint8_t* data, size_t size, size_t footerStart,
                               Layout& layout) const {
    // 16-bit pixels carry a transparency bit when the descriptor says so, unless an
    // extension area states that the image has no alpha.
    layout.sixteenBitAlpha = layout.header.alphaBits() > 0;
    if (!layout.footer) {
        return;
    }
    const uint32_t extOffset = bytes::ReadLE32(data + footerStart);  // 0: no extension area
    ByteCursor cursor(data, size);
    const uint8_t* ext =
        extOffset != 0 && cursor.Seek(extOffset) ? cursor.Span(tga::kExtensionSize) : nullptr;
    if (ext == nullptr || bytes::ReadLE16(ext) != tga::kExtensionSize) {
        return;
    }
    const uint8_t attributes = ext[tga::kExtAttributesType];
    if (attributes != tga::kAttributesAlpha && attributes != tga::kAttributesPremultiplied) {
        layout.sixteenBitAlpha = false;
    }
}

bool cTGAparser::Inspect(const uint8_t* data, size_t size, Layout& layout, Failure& why) const {
    ByteCursor cursor(data, size);
    const uint8_t* head = cursor.Span(tga::kHeaderSize);
    if (head == nullptr || cursor.Remaining() == 0) {
        return false;
    }
    layout.header = tga::ReadHeader(head);
    const tga::Header& h = layout.header;
    if (!CheckHeader(h)) {
        return false;
    }
    const size_t footerStart = FindFooter(data, size);
    layout.footer = footerStart != 0;
    // The stored map holds mapLength entries; they are placed from firstEntry on.
    const uint64_t mapBytes =
        h.mapPresent() ? static_cast<uint64_t>(h.mapLength) * tga::BytesFor(h.entrySize) : 0;
    layout.pixelBytes = tga::BytesFor(h.depth);
    const uint64_t pixels = static_cast<uint64_t>(h.width) * h.height;
    const uint64_t raw = h.runLength() ? 0 : pixels * layout.pixelBytes;
    const uint64_t footerBytes = layout.footer ? tga::kFooterSize : 0;
    cursor.Skip(h.idLength);
    const uint8_t* map = cursor.Span(static_cast<size_t>(mapBytes));
    layout.pixelStart = cursor.Position();
    if (!cursor.Skip(static_cast<size_t>(raw + footerBytes)) || cursor.Failed()) {
        why = Truncated(cursor.FailedAt());
        return false;
    }
    layout.dataEnd = layout.footer ? footerStart : size;
    if (layout.dataEnd < layout.pixelStart) {
        why = Failure::At(FailureKind::Malformed, 0, "TGA footer");
        return false;
    }
    ReadExtension(data, size, footerStart, layout);
    if (h.colourMapped()) {
        ExpandColourMap(map, layout);
    }
    return true;
}

void cTGAparser::ExpandColourMap(const uint8_t* map, Layout& layout) const {
    const tga::Header& h = layout.header;
    const size_t first = static_cast<size_t>(h.firstEntry);
    layout.table.assign(std::max<size_t>(256, first + h.mapLength), 0);
    const size_t entryBytes = tga::BytesFor(h.entrySize);
    const uint8_t* entry = map;
    for (size_t i = 0; i < h.mapLength; ++i, entry += entryBytes) {
        layout.table[first + i] =
            ExpandValue(entry, h.entrySize, false, h.entrySize == 16 && layout.sixteenBitAlpha);
    }
}

uint32_t cTGAparser::ExpandPixel(const uint8_t* p, const Layout& layout) const {
    const tga::Header& h = layout.header;
    if (h.colourMapped()) {
        return layout.table[p[0]];
    }
    return ExpandValue(p, h.depth, h.baseType() == tga::kGrey,
                       h.depth == 16 && layout.sixteenBitAlpha);
}

Failure cTGAparser::DecodePixels(const uint8_t* data, const Layout& layout, c32bppDIB& host) const {
    PixelPlacer placer(host, layout.header.topDown(), layout.header.rightToLeft());
    const size_t bpp = layout.pixelBytes;
    if (!layout.header.runLength()) {
        // Inspect has checked the span of every stored pixel.
        for (const uint8_t* p = data + layout.pixelStart; !placer.full(); p += bpp) {
            placer.put(ExpandPixel(p, layout));
        }
        return {};
    }
    // Packets: a header byte, then one pixel repeated or (count) literal pixels. A
    // packet that runs past a row's end goes on in the next row, never past the image.
    ByteCursor cursor(data, layout.dataEnd);
    cursor.Seek(layout.pixelStart);
    while (!placer.full()) {
        uint8_t packet = 0;
        if (!cursor.ReadU8(packet)) {
            return Truncated(cursor.FailedAt());
        }
        const uint64_t count = std::min<uint64_t>((packet & 0x7F) + 1, placer.remaining());
        const bool repeated = (packet & 0x80) != 0;
        const uint8_t* p = cursor.Span(repeated ? bpp : static_cast<size_t>(count) * bpp);
        if (p == nullptr) {
            return Truncated(cursor.FailedAt());
        }
        const uint32_t pixel = ExpandPixel(p, layout);
        for (uint64_t i = 0; i < count; ++i) {
            placer.put(repeated ? pixel : ExpandPixel(p + i * bpp, layout));
        }
    }
    return {};
}

}  // namespace quenda
