#include "codecs/cPNGparser.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "codecs/InflateDecoder.h"
#include "codecs/PngFormat.h"
#include "imaging/ByteCursor.h"
#include "imaging/ByteOrder.h"
#include "imaging/ByteWindow.h"
#include "imaging/ImageLimits.h"
#include "codecs/ZlibBinding.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cGDIPlus.h"
#include "platform/FileIO.h"

namespace quenda {

namespace {

constexpr size_t kFilePrefix = 58;
constexpr size_t kHeaderLength = 13;
constexpr uint64_t kMaxExpectedSize = INT32_MAX;
constexpr size_t kBytesPerInflate = 128 * 1024;  // two blocks stay in the cache

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

uint64_t RowBytes(uint64_t width, unsigned bitsPerPixel) {
    return (width * bitsPerPixel + 7) / 8;
}

}  // namespace

bool cPNGparser::LoadStream(const std::vector<uint8_t>& bytes, c32bppDIB& host, size_t offset,
                            size_t length, uint32_t& gdiToken) {
    const ByteWindow window = ByteWindow::Of(bytes, offset, length);
    return window.data != nullptr && LoadStream(window.data, window.size, host, gdiToken);
}

bool cPNGparser::LoadStream(const uint8_t* data, size_t size, c32bppDIB& host, uint32_t& gdiToken) {
    if (data == nullptr || !png::HasSignature(data, size)) {
        return false;
    }
    if (LoadThroughBridge(data, size, host, gdiToken)) {
        return true;
    }
    failure_ = {};
    if (!Decode(data, size, host)) {
        host.DestroyDIB();
        host.SetLoadFailure(
            failure_ ? failure_ : LoadFailure::At(LoadFailure::Kind::Malformed, 0, "PNG data"));
    }
    return true;
}

bool cPNGparser::LoadThroughBridge(const uint8_t* data, size_t size, c32bppDIB& host,
                                   uint32_t gdiToken) {
    // The bridge of this platform decodes no PNG, so this normally falls through to
    // the own decoder.
    if (!cGDIPlus().LoadPicture(data, size, host, gdiToken)) {
        return false;
    }
    width_ = host.Width();
    height_ = host.Height();
    return true;
}

bool cPNGparser::LoadFile(const std::filesystem::path& fileName, c32bppDIB& host,
                          uint32_t& gdiToken) {
    const std::optional<uint64_t> length = fileio::FileLength(fileName);
    std::vector<uint8_t> bytes;
    if (!length || *length < kMinFileBytes ||
        !fileio::ReadFilePrefix(fileName, kFilePrefix, bytes) ||
        !png::HasSignature(bytes.data(), bytes.size())) {
        return false;
    }
    if (!fileio::ReadWholeFile(fileName, bytes)) {
        host.DestroyDIB();
        return true;
    }
    return LoadStream(bytes.data(), bytes.size(), host, gdiToken);
}

bool cPNGparser::Decode(const uint8_t* data, size_t size, c32bppDIB& host) {
    try {
        zlibPresent_ = zlib::IsEnabled();
        if (!WalkChunks(data, size) || !CheckHeader() || !PrepareFormat()) {
            return false;
        }
        // zlib's result stands when it inflates the data as uncompress would; otherwise
        // the own decoder inflates it all again.
        bool inflateFailed = true;
        if (zlibPresent_ && DecodeThroughZlib(host, inflateFailed)) {
            return true;
        }
        return inflateFailed && DecodeThroughOwnInflater(host);
    } catch (...) {
        // Out of memory on a large image fails the load like any other error.
        return false;
    }
}

bool cPNGparser::WalkChunks(const uint8_t* data, size_t size) {
    ByteCursor cursor(data, size);
    cursor.Seek(png::kSignature.size());
    for (;;) {
        Chunk chunk{};
        // Length, type, data and CRC must all be there before the chunk is looked at;
        // a source that ends before IEND fails here.
        if (!cursor.ReadBE32(chunk.length) || !cursor.ReadBE32(chunk.type) ||
            (chunk.data = cursor.Span(chunk.length)) == nullptr ||
            !cursor.ReadBE32(chunk.storedCrc)) {
            failure_ = LoadFailure::At(LoadFailure::Kind::Truncated, cursor.FailedAt());
            return false;
        }
        if (chunk.type == png::kIEND) {
            break;
        }
        if (chunk.length != 0 && !HandleChunk(chunk)) {
            return false;
        }
    }
    if (compressed_.empty()) {
        failure_ = LoadFailure::At(LoadFailure::Kind::Malformed, 0, "PNG without image data");
        return false;
    }
    return true;
}

bool cPNGparser::HandleChunk(const Chunk& chunk) {
    switch (chunk.type) {
        case png::kIHDR:
            if (!CrcMatches(chunk)) {
                failure_ = LoadFailure::At(LoadFailure::Kind::ChecksumMismatch, 0, "IHDR");
                return false;
            }
            return ReadHeader(chunk);
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
                failure_ = LoadFailure::At(LoadFailure::Kind::ChecksumMismatch, 0, "IDAT");
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
    if (static_cast<uint64_t>(width_) * static_cast<uint64_t>(height_) > kMaxImagePixels) {
        failure_ = LoadFailure::At(LoadFailure::Kind::TooLarge, 0);
        return false;
    }
    bitsPerPixel_ = bitDepth_ * png::ChannelCount(colorType_);
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
        failure_ = LoadFailure::At(LoadFailure::Kind::TooLarge, 0);
        return false;
    }
    expectedSize_ = static_cast<size_t>(expected);
    return true;
}

bool cPNGparser::PrepareFormat() {
    const bool paletteKept =
        !palette_.empty() &&
        (colorType_ == png::kRGB || colorType_ == png::kPalette || colorType_ == png::kRGBA);
    if (paletteKept && !paletteCrcOk_) {
        failure_ = LoadFailure::At(LoadFailure::Kind::ChecksumMismatch, 0, "PLTE");
        return false;
    }
    if (paletteKept && palette_.size() % 3 != 0) {
        return false;
    }
    const size_t keyBytes = colorType_ == png::kGrey ? 2 : colorType_ == png::kRGB ? 6 : 1;
    keptTransparency_ =
        transparency_.size() >= keyBytes &&
        (colorType_ == png::kGrey || colorType_ == png::kRGB || colorType_ == png::kPalette);
    if (keptTransparency_ && !transparencyCrcOk_) {
        failure_ = LoadFailure::At(LoadFailure::Kind::ChecksumMismatch, 0, "tRNS");
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
                std::fill_n(format_.palette.begin() + 3 * i, 3,
                            static_cast<uint8_t>(i * stepValue));
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

namespace {

// Rows from a buffer holding all the inflated data.
class BufferFeed : public png::RowFeed {
  public:
    explicit BufferFeed(std::vector<uint8_t>& raw)
        : cursor_(raw.data()), end_(raw.data() + raw.size()) {}
    uint8_t* Next(size_t n) override {
        if (static_cast<size_t>(end_ - cursor_) < n) {
            return nullptr;
        }
        uint8_t* row = cursor_;
        cursor_ += n;
        return row;
    }

  private:
    uint8_t* cursor_;
    uint8_t* end_;
};

// Rows inflated by zlib as they are needed, several rows of one length per call (fewer
// calls, and zlib's fast loop covers more of the data), into two alternating blocks so
// that the previous row stays valid.
class StreamFeed : public png::RowFeed {
  public:
    StreamFeed(zlib::StreamInflater& inflater, size_t longestRow, size_t rowsPerBlock, size_t total)
        : inflater_(inflater),
          longestRow_(longestRow),
          rowsPerBlock_(rowsPerBlock),
          remaining_(total),
          blocks_{std::vector<uint8_t>(longestRow * rowsPerBlock),
                  std::vector<uint8_t>(longestRow * rowsPerBlock)} {}
    uint8_t* Next(size_t n) override {
        if (failed_ || n > longestRow_ || ((left_ == 0 || n != rowSize_) && !Refill(n))) {
            failed_ = true;
            return nullptr;
        }
        uint8_t* row = cursor_;
        cursor_ += n;
        --left_;
        return row;
    }
    bool Failed() const { return failed_; }

  private:
    // Never asks for more than the rows left in the data, so zlib sees the reads the
    // rows would make one by one.
    bool Refill(size_t n) {
        std::vector<uint8_t>& block = blocks_[next_];
        next_ ^= 1;
        const size_t rows = std::clamp<size_t>(remaining_ / n, 1, rowsPerBlock_);
        if (!inflater_.Read(block.data(), rows * n)) {
            return false;
        }
        remaining_ -= std::min(remaining_, rows * n);
        cursor_ = block.data();
        left_ = rows;
        rowSize_ = n;
        return true;
    }

    zlib::StreamInflater& inflater_;
    size_t longestRow_;
    size_t rowsPerBlock_;
    size_t remaining_;
    std::vector<uint8_t> blocks_[2];
    size_t next_ = 0;
    uint8_t* cursor_ = nullptr;
    size_t left_ = 0;
    size_t rowSize_ = 0;
    bool failed_ = false;
};

}  // namespace

bool cPNGparser::DecodeThroughZlib(c32bppDIB& host, bool& inflateFailed) const {
    zlib::StreamInflater inflater;
    if (!inflater.Begin(compressed_.data(), compressed_.size())) {
        inflateFailed = true;
        return false;
    }
    // Interlaced passes change the row length, so they go one row at a time.
    StreamFeed feed(inflater, LongestRow(),
                    interlace_ ? 1 : std::max<size_t>(1, kBytesPerInflate / LongestRow()),
                    expectedSize_);
    const bool written = WritePixels(feed, host);
    inflateFailed = feed.Failed() || !inflater.Finish();
    return written && !inflateFailed;
}

bool cPNGparser::DecodeThroughOwnInflater(c32bppDIB& host) const {
    std::vector<uint8_t> raw(expectedSize_);
    if (!InflateStream(compressed_.data(), compressed_.size(), raw.data(), raw.size())) {
        return false;
    }
    BufferFeed feed(raw);
    return WritePixels(feed, host);
}

size_t cPNGparser::LongestRow() const {
    const size_t first = interlace_ ? 0 : png::kNonInterlacedPass;
    const size_t last = interlace_ ? png::kNonInterlacedPass : png::kPasses.size();
    uint64_t longest = 0;
    for (size_t p = first; p < last; ++p) {
        const png::Pass& pass = png::kPasses[p];
        const uint32_t w = png::PassExtent(width_, pass.firstColumn, pass.columnStep);
        longest = std::max(longest, RowBytes(w, bitsPerPixel_) + 1);
    }
    return static_cast<size_t>(longest);
}

bool cPNGparser::WritePixels(png::RowFeed& feed, c32bppDIB& host) const {
    if (!host.InitializeDIB(width_, height_)) {
        return false;
    }
    const size_t first = interlace_ ? 0 : png::kNonInterlacedPass;
    const size_t last = interlace_ ? png::kNonInterlacedPass : png::kPasses.size();
    for (size_t p = first; p < last; ++p) {
        if (!WritePass(p, feed, host)) {
            return false;
        }
    }
    const bool alphaChannel = colorType_ == png::kGreyAlpha || colorType_ == png::kRGBA;
    host.setAlpha(alphaChannel || keptTransparency_);
    host.setImageType(IMAGE_PNG);
    return true;
}

bool cPNGparser::WritePass(size_t p, png::RowFeed& feed, c32bppDIB& host) const {
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
        uint8_t* data = feed.Next(rowBytes + 1);
        if (data == nullptr) {
            return false;
        }
        uint8_t* row = data + 1;
        if (!png::Unfilter(data[0], row, prior, rowBytes, filterDistance_) && interlace_) {
            return false;  // an unknown filter only passes unchanged in a plain image
        }
        const int32_t imageRow = static_cast<int32_t>(pass.firstRow + r * pass.rowStep);
        uint8_t* dst = host.BitsPointer() + host.PixelOffset(pass.firstColumn, imageRow);
        if (!png::ConvertRow(format_, row, w, dst, step)) {
            return false;
        }
        prior = row;
    }
    return true;
}

}  // namespace quenda
