#include "codecs/cPNGparser.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "codecs/InflateDecoder.h"
#include "codecs/PngFormat.h"
#include "imaging/ByteOrder.h"
#include "imaging/ZlibBinding.h"
#include "imaging/c32bppDIB.h"
#include "platform/FileIO.h"

namespace quenda {

namespace {

constexpr size_t kMinimumFileSize = 57;  // a file of 56 bytes or less is no PNG
constexpr size_t kFilePrefix = 58;
constexpr size_t kHeaderLength = 13;
constexpr uint64_t kMaxExpectedSize = INT32_MAX;

bool HasSignature(const uint8_t* data, size_t size) {
    return size >= png::kSignature.size() &&
           std::equal(png::kSignature.begin(), png::kSignature.end(), data);
}

unsigned ChannelCount(uint8_t colorType) {
    switch (colorType) {
        case png::kRGB:
            return 3;
        case png::kGreyAlpha:
            return 2;
        case png::kRGBA:
            return 4;
        default:
            return 1;
    }
}

bool ValidDepthForType(uint8_t depth, uint8_t colorType) {
    switch (colorType) {
        case png::kGrey:
            return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
        case png::kPalette:
            return depth == 1 || depth == 2 || depth == 4 || depth == 8;
        case png::kRGB:
        case png::kGreyAlpha:
        case png::kRGBA:
            return depth == 8 || depth == 16;
        default:
            return false;
    }
}

uint64_t RowBytes(uint64_t width, unsigned bitsPerPixel) { return (width * bitsPerPixel + 7) / 8; }

}  // namespace

bool cPNGparser::LoadStream(const std::vector<uint8_t>& bytes, c32bppDIB& host, size_t offset,
                            size_t length, uint32_t& gdiToken) {
    if (offset >= bytes.size()) {
        return false;
    }
    const size_t available = bytes.size() - offset;
    return LoadStream(bytes.data() + offset, std::min(length, available), host, gdiToken);
}

bool cPNGparser::LoadStream(const uint8_t* data, size_t size, c32bppDIB& host,
                            uint32_t& gdiToken) {
    (void)gdiToken;  // the platform bridge decodes no PNG here, so the own decoder runs
    if (data == nullptr || !HasSignature(data, size)) {
        return false;
    }
    if (!Decode(data, size, host)) {
        host.DestroyDIB();
    }
    return true;
}

bool cPNGparser::LoadFile(const std::filesystem::path& fileName, c32bppDIB& host,
                          uint32_t& gdiToken) {
    (void)gdiToken;
    const std::optional<uint64_t> length = fileio::FileLength(fileName);
    std::vector<uint8_t> bytes;
    if (!length || *length < kMinimumFileSize ||
        !fileio::ReadFilePrefix(fileName, kFilePrefix, bytes) ||
        !HasSignature(bytes.data(), bytes.size())) {
        return false;
    }
    if (!fileio::ReadWholeFile(fileName, bytes) || !Decode(bytes.data(), bytes.size(), host)) {
        host.DestroyDIB();
    }
    return true;
}

bool cPNGparser::Decode(const uint8_t* data, size_t size, c32bppDIB& host) {
    try {
        zlibPresent_ = zlib::IsEnabled();
        if (!WalkChunks(data, size) || !CheckHeader() || !PrepareFormat()) {
            return false;
        }
        std::vector<uint8_t> raw;
        if (!Inflate(raw)) {
            return false;
        }
        return WritePixels(raw, host);
    } catch (...) {
        // Out of memory on a large image fails the load like any other error.
        return false;
    }
}

bool cPNGparser::WalkChunks(const uint8_t* data, size_t size) {
    uint64_t total = png::kSignature.size();
    size_t pos = png::kSignature.size();
    for (;;) {
        if (size - pos < 8) {
            return false;  // the source ends before IEND
        }
        Chunk chunk{};
        chunk.length = bytes::ReadBE32(data + pos);
        chunk.type = bytes::ReadBE32(data + pos + 4);
        total += uint64_t{chunk.length} + 12;
        if (total > size) {
            return false;
        }
        chunk.data = data + pos + 8;
        chunk.storedCrc = bytes::ReadBE32(chunk.data + chunk.length);
        if (chunk.type == png::kIEND) {
            break;
        }
        if (chunk.length != 0 && !HandleChunk(chunk)) {
            return false;
        }
        pos += size_t{chunk.length} + 12;
    }
    return !compressed_.empty();
}

bool cPNGparser::HandleChunk(const Chunk& chunk) {
    switch (chunk.type) {
        case png::kIHDR:
            return CrcMatches(chunk) && ReadHeader(chunk);
        case png::kPLTE:
            palette_.assign(chunk.data, chunk.data + chunk.length);
            paletteCrcOk_ = CrcMatches(chunk);
            return true;
        case png::kTRNS:
            transparency_.assign(chunk.data, chunk.data + chunk.length);
            transparencyCrcOk_ = CrcMatches(chunk);
            return true;
        case png::kIDAT:
            if (!CrcMatches(chunk)) {
                return false;
            }
            compressed_.insert(compressed_.end(), chunk.data, chunk.data + chunk.length);
            return true;
        default:
            return true;  // ancillary chunks have no effect
    }
}

bool cPNGparser::CrcMatches(const Chunk& chunk) const {
    if (!zlibPresent_ || chunk.storedCrc == 0) {
        return true;
    }
    uint32_t computed = 0;
    if (!zlib::Crc32(chunk.data - 4, size_t{chunk.length} + 4, computed)) {
        return false;
    }
    return computed != 0 && computed == chunk.storedCrc;
}

bool cPNGparser::ReadHeader(const Chunk& chunk) {
    if (chunk.length < kHeaderLength) {
        return false;
    }
    const uint8_t* d = chunk.data;
    width_ = static_cast<int32_t>(bytes::ReadBE32(d));
    height_ = static_cast<int32_t>(bytes::ReadBE32(d + 4));
    bitDepth_ = d[8];
    colorType_ = d[9];
    interlace_ = d[12];
    headerSeen_ = true;
    return width_ >= 1 && height_ >= 1 && d[10] == 0 && d[11] == 0 && interlace_ <= 1 &&
           ValidDepthForType(bitDepth_, colorType_);
}

bool cPNGparser::CheckHeader() {
    if (!headerSeen_) {
        return false;
    }
    if (static_cast<uint64_t>(width_) * static_cast<uint64_t>(height_) > c32bppDIB::kMaxPixels) {
        return false;
    }
    bitsPerPixel_ = bitDepth_ * ChannelCount(colorType_);
    filterDistance_ = bitsPerPixel_ < 8 ? 1 : bitsPerPixel_ / 8;
    uint64_t expected = 0;
    const size_t first = interlace_ ? 0 : png::kNonInterlacedPass;
    const size_t last = interlace_ ? png::kNonInterlacedPass : png::kPasses.size();
    for (size_t p = first; p < last; ++p) {
        const png::Pass& pass = png::kPasses[p];
        const uint32_t w = png::PassExtent(width_, pass.firstColumn, pass.columnStep);
        const uint32_t h = png::PassExtent(height_, pass.firstRow, pass.rowStep);
        if (w != 0 && h != 0) {
            expected += (RowBytes(w, bitsPerPixel_) + 1) * h;
        }
    }
    if (expected > kMaxExpectedSize) {
        return false;
    }
    expectedSize_ = static_cast<size_t>(expected);
    return true;
}

bool cPNGparser::PrepareFormat() {
    const bool paletteKept = !palette_.empty() && (colorType_ == png::kRGB ||
                                                   colorType_ == png::kPalette ||
                                                   colorType_ == png::kRGBA);
    if (paletteKept && (!paletteCrcOk_ || palette_.size() % 3 != 0)) {
        return false;
    }
    const size_t keyBytes = colorType_ == png::kGrey ? 2 : colorType_ == png::kRGB ? 6 : 1;
    keptTransparency_ = transparency_.size() >= keyBytes &&
                        (colorType_ == png::kGrey || colorType_ == png::kRGB ||
                         colorType_ == png::kPalette);
    if (keptTransparency_ && !transparencyCrcOk_) {
        return false;
    }

    format_.colorType = colorType_;
    format_.bitDepth = bitDepth_;
    format_.indexAlpha.fill(255);
    const size_t low = bitDepth_ == 16 ? 0 : 1;  // which byte of a 16-bit tRNS value counts
    if (colorType_ == png::kPalette) {
        if (paletteKept) {
            format_.palette = palette_;
        } else {
            format_.palette.assign(256 * 3, 0);
            if (bitDepth_ == 1) {
                std::fill_n(format_.palette.begin() + 3, 3, 255);
            }
        }
        if (keptTransparency_) {
            const size_t n = std::min<size_t>(transparency_.size(), 256);
            std::copy_n(transparency_.begin(), n, format_.indexAlpha.begin());
        }
    } else if (colorType_ == png::kGrey) {
        if (bitDepth_ < 8) {
            const unsigned entries = 1u << bitDepth_;
            const unsigned stepValue = 255 / (entries - 1);
            format_.palette.resize(entries * 3);
            for (unsigned i = 0; i < entries; ++i) {
                std::fill_n(format_.palette.begin() + 3 * i, 3, static_cast<uint8_t>(i * stepValue));
            }
        }
        format_.hasKey = keptTransparency_;
        format_.key[0] = keptTransparency_ ? transparency_[low] : 0;
    } else if (colorType_ == png::kRGB) {
        format_.hasKey = keptTransparency_;
        for (size_t c = 0; c < 3 && keptTransparency_; ++c) {
            format_.key[c] = transparency_[2 * c + low];
        }
    }
    return true;
}

bool cPNGparser::Inflate(std::vector<uint8_t>& raw) const {
    raw.resize(expectedSize_);
    size_t produced = expectedSize_;
    bool ok = zlibPresent_ &&
              zlib::Uncompress(raw.data(), produced, compressed_.data(), compressed_.size());
    if (!ok) {
        produced = 0;
        ok = InflateStream(compressed_.data(), compressed_.size(), raw.data(), raw.size(),
                           &produced);
    }
    if (ok && produced < raw.size()) {
        std::memset(raw.data() + produced, 0, raw.size() - produced);
    }
    return ok;
}

bool cPNGparser::WritePixels(std::vector<uint8_t>& raw, c32bppDIB& host) const {
    if (!host.InitializeDIB(width_, height_)) {
        return false;
    }
    uint8_t* cursor = raw.data();
    const uint8_t* end = raw.data() + raw.size();
    const size_t first = interlace_ ? 0 : png::kNonInterlacedPass;
    const size_t last = interlace_ ? png::kNonInterlacedPass : png::kPasses.size();
    for (size_t p = first; p < last; ++p) {
        if (!WritePass(p, cursor, end, host)) {
            return false;
        }
    }
    const bool alphaChannel = colorType_ == png::kGreyAlpha || colorType_ == png::kRGBA;
    host.setAlpha(alphaChannel || keptTransparency_);
    host.setImageType(IMAGE_PNG);
    return true;
}

bool cPNGparser::WritePass(size_t p, uint8_t*& cursor, const uint8_t* end,
                           c32bppDIB& host) const {
    const png::Pass& pass = png::kPasses[p];
    const uint32_t w = png::PassExtent(width_, pass.firstColumn, pass.columnStep);
    const uint32_t h = png::PassExtent(height_, pass.firstRow, pass.rowStep);
    if (w == 0 || h == 0) {
        return true;
    }
    const size_t rowBytes = static_cast<size_t>(RowBytes(w, bitsPerPixel_));
    const std::vector<uint8_t> zeros(rowBytes, 0);
    const uint8_t* prior = zeros.data();
    const size_t step = size_t{pass.columnStep} * 4;
    for (uint32_t r = 0; r < h; ++r) {
        if (static_cast<size_t>(end - cursor) < rowBytes + 1) {
            return false;
        }
        uint8_t* row = cursor + 1;
        if (!png::Unfilter(cursor[0], row, prior, rowBytes, filterDistance_) && interlace_) {
            return false;  // an unknown filter only passes unchanged in a plain image
        }
        const int32_t imageRow = static_cast<int32_t>(pass.firstRow + r * pass.rowStep);
        uint8_t* dst = host.BitsPointer() + host.PixelOffset(pass.firstColumn, imageRow);
        if (!png::ConvertRow(format_, row, w, dst, step)) {
            return false;
        }
        prior = row;
        cursor += rowBytes + 1;
    }
    return true;
}

}  // namespace quenda
