#include "codecs/cICOparser.h"

#include <cstdlib>

#include "codecs/IconBitmap.h"
#include "codecs/PngFormat.h"
#include "codecs/cPNGparser.h"
#include "imaging/ByteCursor.h"
#include "imaging/ByteOrder.h"
#include "imaging/ByteWindow.h"
#include "imaging/ImageTypes.h"
#include "imaging/c32bppDIB.h"

namespace quenda {

namespace {

constexpr size_t kDirectoryHeader = 6;
constexpr size_t kEntrySize = 16;
// Directory entry fields.
constexpr size_t kEntryWidth = 0;
constexpr size_t kEntryHeight = 1;
constexpr size_t kEntryBytesInRes = 8;
constexpr size_t kEntryImageOffset = 12;
constexpr uint16_t kPngMarker = 0x5244;  // "DR" of "IHDR" read where a bit count would be

int32_t Side(uint8_t stored) {
    return stored == 0 ? 256 : stored;
}

}  // namespace

const cICOparser::Entry* cICOparser::At(int32_t index) const {
    if (index < 1 || index > IconCount()) {
        return nullptr;
    }
    return &entries_[static_cast<size_t>(index - 1)];
}

int32_t cICOparser::Width(int32_t index) const {
    const Entry* e = At(index);
    return e ? Side(e->width) : 0;
}

int32_t cICOparser::Height(int32_t index) const {
    const Entry* e = At(index);
    return e ? Side(e->height) : 0;
}

int32_t cICOparser::bitDepth(int32_t index) const {
    const Entry* e = At(index);
    return e ? e->depth : 0;
}

bool cICOparser::IsIconPNG(int32_t index) const {
    const Entry* e = At(index);
    return e && e->png;
}

int32_t cICOparser::ColorCount(int32_t index) const {
    const Entry* e = At(index);
    if (!e || e->png || e->depth < 1 || e->depth > 8) {
        return 0;
    }
    const int64_t w = Side(e->width), h = Side(e->height);
    const int64_t mask = static_cast<int64_t>(IconRowBytes(static_cast<int32_t>(w), 1)) * h;
    const int64_t bits = static_cast<int64_t>(IconRowBytes(static_cast<int32_t>(w), e->depth)) * h;
    const int64_t rest = static_cast<int64_t>(e->bytesInRes) - mask - bits - e->headerSize;
    return rest > 0 ? static_cast<int32_t>(rest / 4) : 0;
}

uint64_t cICOparser::ColorByteOffset(int32_t index) const {
    const Entry* e = At(index);
    if (!e) {
        return 0;
    }
    uint64_t offset = static_cast<uint64_t>(e->imageOffset) + e->headerSize;
    if (e->depth > 0 && e->depth < 16) {
        offset += (uint64_t{1} << e->depth) * 4;
    }
    return offset;
}

bool cICOparser::ReadDirectory(const uint8_t* data, size_t size) {
    ByteCursor cursor(data, size);
    uint16_t reserved = 0, type = 0, count = 0;
    if (!cursor.ReadLE16(reserved) || !cursor.ReadLE16(type) || !cursor.ReadLE16(count) ||
        reserved != 0 || (type != 1 && type != 2) || count < 1) {
        return false;
    }
    const uint8_t* directory = cursor.Span(size_t{kEntrySize} * count);
    if (directory == nullptr) {
        return false;
    }
    uint64_t total = kDirectoryHeader + uint64_t{kEntrySize} * count;
    entries_.assign(count, Entry{});
    for (size_t i = 0; i < count; ++i) {
        // The directory span is checked, so each entry reads from bytes that are there.
        const uint8_t* p = directory + kEntrySize * i;
        Entry& e = entries_[i];
        e.width = p[kEntryWidth];
        e.height = p[kEntryHeight];
        e.bytesInRes = bytes::ReadLE32(p + kEntryBytesInRes);
        e.imageOffset = bytes::ReadLE32(p + kEntryImageOffset);
        total += e.bytesInRes;
    }
    cursor_ = type == 2;
    return total <= size;
}

void cICOparser::CheckPngEntry(const uint8_t* data, Entry& entry, uint16_t directoryBits) const {
    entry.png = true;
    entry.depth = 0;
    const uint8_t* png = data + entry.imageOffset;
    if (entry.bytesInRes < png::kFileHeaderEnd || !png::HasSignature(png, entry.bytesInRes) ||
        bytes::ReadBE32(png + png::kFileChunkTypeOffset) != png::kIHDR) {
        return;
    }
    const uint32_t w = bytes::ReadBE32(png + png::kFileWidthOffset);
    const uint32_t h = bytes::ReadBE32(png + png::kFileHeightOffset);
    if (w < 1 || w > 256 || h < 1 || h > 256) {
        return;
    }
    entry.width = static_cast<uint8_t>(w == 256 ? 0 : w);
    entry.height = static_cast<uint8_t>(h == 256 ? 0 : h);
    entry.depth = directoryBits;
    if (entry.depth != 0) {
        return;
    }
    const uint8_t bitDepth = png[png::kFileBitDepthOffset];
    const uint8_t colourType = png[png::kFileColorTypeOffset];
    if (bitDepth == 16 || colourType == png::kGreyAlpha || colourType == png::kRGBA) {
        entry.depth = 32;
    } else if (colourType == png::kRGB) {
        entry.depth = 24;
    } else {
        entry.depth = bitDepth;
    }
}

bool cICOparser::CheckEntry(const uint8_t* data, size_t size, Entry& entry, uint16_t directoryBits,
                            bool& pngVerdict) const {
    // An image that lies outside the source cannot be used.
    const uint64_t end = static_cast<uint64_t>(entry.imageOffset) + entry.bytesInRes;
    if (end > size || entry.bytesInRes < 16) {
        entry.depth = 0;
        return true;
    }
    const uint8_t* image = data + entry.imageOffset;
    const uint16_t bitCount = bytes::ReadLE16(image + 14);
    if (bitCount == kPngMarker) {
        CheckPngEntry(data, entry, directoryBits);
        pngVerdict = entry.depth > 0;
        return true;
    }
    entry.headerSize = bytes::ReadLE32(image);
    if (bitCount != 0) {
        entry.depth = bitCount;
    } else if (directoryBits != 0) {
        entry.depth = directoryBits;
    } else {
        return false;
    }
    // A header larger than the image leaves nothing to read.
    if (entry.headerSize < 12 || entry.headerSize > entry.bytesInRes) {
        entry.depth = 0;
    }
    return true;
}

int32_t cICOparser::ChooseEntry(int32_t width, int32_t height, int32_t depth) const {
    if (entries_.size() == 1) {
        return entries_[0].depth != 0 ? 1 : 0;
    }
    const int64_t W = width < 1 ? 32 : width;
    const int64_t H = height < 1 ? 32 : height;
    std::vector<int64_t> scores(entries_.size(), 0);
    int64_t best = 10000;
    int32_t choice = 0;
    for (size_t i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        if (e.depth == 0) {
            continue;
        }
        int64_t dw = Side(e.width) - W;
        int64_t dh = Side(e.height) - H;
        dw = Side(e.width) < W ? dw * 2 : dw;
        dh = Side(e.height) < H ? dh * 2 : dh;
        int64_t score = dw + dh + std::llabs(static_cast<int64_t>(depth) - e.depth);
        if (e.depth > 32) {
            score = -10000;
        }
        scores[i] = score;
        if (score == 0) {
            return static_cast<int32_t>(i + 1);
        }
        if (score >= 1 && score < best) {
            best = score;
            choice = static_cast<int32_t>(i + 1);
        }
    }
    if (choice != 0) {
        return choice;
    }
    // Every entry is smaller than asked for, or too deep.
    for (size_t i = entries_.size(); i-- > 0;) {
        if (entries_[i].depth == 0) {
            continue;
        }
        const int64_t s = std::llabs(scores[i]) + std::llabs(32 - int64_t{entries_[i].depth});
        if (s < best) {
            best = s;
            choice = static_cast<int32_t>(i + 1);
        }
    }
    return choice != 0 ? choice : 1;
}

bool cICOparser::DecodeBitmap(const uint8_t* data, size_t size, const Entry& entry,
                              c32bppDIB& host) const {
    IconBitmapLayout layout;
    layout.width = Side(entry.width);
    layout.height = Side(entry.height);
    layout.depth = entry.depth;
    layout.cursor = cursor_;
    const int32_t index = static_cast<int32_t>(&entry - entries_.data()) + 1;
    layout.paletteOffset = entry.imageOffset + static_cast<size_t>(entry.headerSize);
    if (entry.depth <= 8) {
        layout.paletteEntries =
            std::min<size_t>(size_t{1} << entry.depth, static_cast<size_t>(ColorCount(index)));
    }
    layout.bitsOffset = static_cast<size_t>(ColorByteOffset(index));
    const uint64_t maskSize = static_cast<uint64_t>(IconRowBytes(layout.width, 1)) * layout.height;
    const uint64_t bitsEnd =
        layout.bitsOffset +
        static_cast<uint64_t>(IconRowBytes(layout.width, layout.depth)) * layout.height;
    const uint64_t imageEnd = static_cast<uint64_t>(entry.imageOffset) + entry.bytesInRes;
    // The mask ends the image; it must not reach back into the colour bits.
    layout.hasMask = imageEnd >= maskSize && imageEnd - maskSize >= bitsEnd;
    layout.maskOffset = layout.hasMask ? static_cast<size_t>(imageEnd - maskSize) : 0;
    const size_t limit = static_cast<size_t>(std::min<uint64_t>(imageEnd, size));
    if (!host.InitializeDIB(layout.width, layout.height) ||
        !DecodeIconBitmap(data, limit, layout, host)) {
        host.DestroyDIB();
        return false;
    }
    return true;
}

bool cICOparser::LoadStream(const std::vector<uint8_t>& bytes, int32_t desiredWidth,
                            int32_t desiredHeight, c32bppDIB* host, size_t offset, size_t length,
                            int32_t desiredBitDepth, uint32_t gdiToken) {
    entries_.clear();
    const ByteWindow window = ByteWindow::Of(bytes, offset, length, ByteWindow::ZeroLength::Rest);
    if (window.data == nullptr) {
        return false;
    }
    const uint8_t* data = window.data;
    const size_t size = window.size;
    if (!ReadDirectory(data, size)) {
        entries_.clear();
        return false;
    }
    bool pngVerdict = true;
    for (size_t i = 0; i < entries_.size(); ++i) {
        // In cursors that field is the hotspot, not a depth.
        const uint16_t directoryBits =
            cursor_ ? 0 : bytes::ReadLE16(data + kDirectoryHeader + kEntrySize * i + 6);
        if (!CheckEntry(data, size, entries_[i], directoryBits, pngVerdict)) {
            entries_.clear();
            return false;
        }
    }
    // The last PNG entry's check decides whether the source counts as an icon.
    if (!pngVerdict) {
        return false;
    }
    if (host == nullptr) {
        return true;
    }
    host->DestroyDIB();
    const int32_t chosen = ChooseEntry(desiredWidth, desiredHeight, desiredBitDepth);
    const Entry* entry = At(chosen);
    if (entry == nullptr || entry->depth == 0) {
        return true;
    }
    if (entry->png) {
        uint32_t token = gdiToken;
        const bool answered = cPNGparser().LoadStream(bytes, *host, offset + entry->imageOffset,
                                                      entry->bytesInRes, token);
        if (host->Handle() != 0) {
            host->setImageType(IMAGE_ICON_PNG);
        }
        return answered;
    }
    DecodeBitmap(data, size, *entry, *host);
    return true;
}

}  // namespace quenda
