#include "codecs/cPNGparser.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "codecs/InflateDecoder.h"
#include "codecs/PngFormat.h"
#include "codecs/ZlibBinding.h"
#include "imaging/ByteCursor.h"
#include "imaging/ByteOrder.h"
#include "imaging/ByteWindow.h"
#include "imaging/ImageLimits.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cGDIPlus.h"

namespace quenda {

namespace {

constexpr size_t kHeaderLength = 13;
constexpr uint64_t kMaxExpectedSize = INT32_MAX;

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
        host.SetFailure(failure_ ? failure_ : Failure::At(FailureKind::Malformed, 0, "PNG data"));
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

bool cPNGparser::Decode(const uint8_t* data, size_t size, c32bppDIB& host) {
    try {
        zlib_ = host.zlibOptions();
        zlibPresent_ = zlib::IsEnabled(zlib_);
        if (!WalkChunks(data, size) || !CheckHeader() || !PrepareFormat()) {
            return false;
        }
        // Fresh memory costs a page fault and a cleared page per 4 KiB, so the image
        // block is made first and the IDAT data, when it must be gathered, goes into
        // it: the data is spent before the first pixel is written. Neither block is
        // cleared: inflating writes what it can and zeros the rest, and the rows
        // write every pixel.
        std::unique_ptr<uint8_t[]> bits(new uint8_t[ImageBytes()]);
        const uint8_t* stream = CompressedStream(bits.get(), ImageBytes());
        std::unique_ptr<uint8_t[]> raw(new uint8_t[expectedSize_]);
        if (!Inflate(stream, raw.get())) {
            return false;
        }
        gathered_.reset();
        return WritePixels(raw.get(), std::move(bits), host);
    } catch (const std::bad_alloc&) {
        // A large image the memory cannot hold fails the load; nothing else is caught,
        // so a fault of the program is never reported as one of the data.
        failure_ =
            Failure::Of(FailureKind::OutOfMemory, "PNG", "not enough memory to decode the image");
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
            failure_ = Failure::At(FailureKind::Truncated, cursor.FailedAt());
            return false;
        }
        if (chunk.type == png::kIEND) {
            break;
        }
        if (chunk.length != 0 && !HandleChunk(chunk)) {
            return false;
        }
    }
    if (compressedSize_ == 0) {
        failure_ = Failure::At(FailureKind::Malformed, 0, "PNG without image data");
        return false;
    }
    return true;
}

bool cPNGparser::HandleChunk(const Chunk& chunk) {
    switch (chunk.type) {
        case png::kIHDR:
            if (!CrcMatches(chunk)) {
                failure_ = Failure::At(FailureKind::ChecksumMismatch, 0, "IHDR");
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
                failure_ = Failure::At(FailureKind::ChecksumMismatch, 0, "IDAT");
                return false;
            }
            // Chunk lengths are below 2^31 and a source fits in memory, so the sum
            // cannot wrap.
            imageData_.emplace_back(chunk.data, chunk.length);
            compressedSize_ += chunk.length;
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
    if (!zlib::Crc32(chunk.data - 4, size_t{chunk.length} + 4, computed, zlib_)) {
        return false;
    }
    return computed != 0 && computed == chunk.storedCrc;
}

bool cPNGparser::ReadHeader(const Chunk& chunk) {
    if (chunk.length < kHeaderLength) {
        failure_ = Failure::Of(FailureKind::Malformed, "IHDR");
        return false;
    }
    const uint8_t* d = chunk.data;
    width_ = static_cast<int32_t>(bytes::ReadBE32(d));
    height_ = static_cast<int32_t>(bytes::ReadBE32(d + 4));
    bitDepth_ = d[8];
    colorType_ = d[9];
    interlace_ = d[12];
    headerSeen_ = true;
    failure_ = HeaderFault(d[10], d[11]);
    return !failure_;
}

Failure cPNGparser::HeaderFault(uint8_t compression, uint8_t filter) const {
    if (width_ < 1 || height_ < 1) {
        return Failure::Of(FailureKind::Malformed, "PNG image size");
    }
    if (!ValidDepthForType(bitDepth_, colorType_)) {
        return Failure::Of(FailureKind::Malformed, "PNG bit depth or colour type");
    }
    if (compression != 0) {
        return Failure::Of(FailureKind::Unsupported, "PNG compression method");
    }
    if (filter != 0) {
        return Failure::Of(FailureKind::Unsupported, "PNG filter method");
    }
    if (interlace_ > 1) {
        return Failure::Of(FailureKind::Unsupported, "PNG interlace method");
    }
    return {};
}

bool cPNGparser::CheckHeader() {
    if (!headerSeen_) {
        failure_ = Failure::Of(FailureKind::Malformed, "PNG without header");
        return false;
    }
    if (static_cast<uint64_t>(width_) * static_cast<uint64_t>(height_) > kMaxImagePixels) {
        failure_ = Failure::At(FailureKind::TooLarge, 0);
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
        failure_ = Failure::At(FailureKind::TooLarge, 0);
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
        failure_ = Failure::At(FailureKind::ChecksumMismatch, 0, "PLTE");
        return false;
    }
    if (paletteKept && palette_.size() % 3 != 0) {
        failure_ = Failure::Of(FailureKind::Malformed, "PLTE");
        return false;
    }
    const size_t keyBytes = colorType_ == png::kGrey ? 2 : colorType_ == png::kRGB ? 6 : 1;
    keptTransparency_ =
        transparency_.size() >= keyBytes &&
        (colorType_ == png::kGrey || colorType_ == png::kRGB || colorType_ == png::kPalette);
    if (keptTransparency_ && !transparencyCrcOk_) {
        failure_ = Failure::At(FailureKind::ChecksumMismatch, 0, "tRNS");
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

// Rows of the inflated data, where they lie.
class BufferFeed : public png::RowFeed {
  public:
    BufferFeed(uint8_t* raw, size_t size) : cursor_(raw), end_(raw + size) {}
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

}  // namespace

const uint8_t* cPNGparser::CompressedStream(uint8_t* spare, size_t spareSize) {
    if (imageData_.size() == 1) {
        return imageData_.front().first;  // read in place
    }
    uint8_t* out = spare;
    if (compressedSize_ > spareSize) {
        gathered_.reset(new uint8_t[compressedSize_]);
        out = gathered_.get();
    }
    size_t at = 0;
    for (const auto& [data, length] : imageData_) {
        std::memcpy(out + at, data, length);
        at += length;
    }
    return out;
}

size_t cPNGparser::ImageBytes() const {
    return size_t{static_cast<uint32_t>(width_)} * static_cast<uint32_t>(height_) * 4;
}

// zlib's result stands when it inflates the data as uncompress would; otherwise the
// own decoder inflates it all again. Data that ends early leaves zeros after it.
bool cPNGparser::Inflate(const uint8_t* stream, uint8_t* raw) const {
    size_t produced = expectedSize_;
    if (!zlibPresent_ || !zlib::Uncompress(raw, produced, stream, compressedSize_, zlib_)) {
        produced = 0;
        if (!InflateStream(stream, compressedSize_, raw, expectedSize_, &produced)) {
            return false;
        }
    }
    std::memset(raw + produced, 0, expectedSize_ - produced);
    return true;
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

bool cPNGparser::WritePixels(uint8_t* raw, std::unique_ptr<uint8_t[]> bits, c32bppDIB& host) const {
    // Every pass writes every pixel it covers, transparent ones included, and the
    // passes cover the image.
    const std::vector<uint8_t> zeros(LongestRow(), 0);  // the prior row of a first row
    BufferFeed feed(raw, expectedSize_);
    const size_t first = interlace_ ? 0 : png::kNonInterlacedPass;
    const size_t last = interlace_ ? png::kNonInterlacedPass : png::kPasses.size();
    for (size_t p = first; p < last; ++p) {
        if (!WritePass(p, feed, zeros.data(), bits.get())) {
            return false;
        }
    }
    if (!host.AdoptBits(std::move(bits), width_, height_)) {
        return false;
    }
    const bool alphaChannel = colorType_ == png::kGreyAlpha || colorType_ == png::kRGBA;
    host.setAlpha(alphaChannel || keptTransparency_);
    host.setImageType(IMAGE_PNG);
    return true;
}

bool cPNGparser::WritePass(size_t p, png::RowFeed& feed, const uint8_t* zeros,
                           uint8_t* bits) const {
    const png::Pass& pass = png::kPasses[p];
    const uint32_t w = png::PassExtent(width_, pass.firstColumn, pass.columnStep);
    const uint32_t h = png::PassExtent(height_, pass.firstRow, pass.rowStep);
    if (w == 0 || h == 0) {
        return true;
    }
    const size_t rowBytes = static_cast<size_t>(RowBytes(w, bitsPerPixel_));
    const uint8_t* prior = zeros;
    const size_t step = size_t{pass.columnStep} * 4;
    const size_t stride = size_t{static_cast<uint32_t>(width_)} * 4;
    for (uint32_t r = 0; r < h; ++r) {
        uint8_t* data = feed.Next(rowBytes + 1);
        if (data == nullptr) {
            return false;
        }
        uint8_t* row = data + 1;
        if (!png::Unfilter(data[0], row, prior, rowBytes, filterDistance_) && interlace_) {
            return false;  // an unknown filter only passes unchanged in a plain image
        }
        // Rows are stored bottom-up.
        const size_t imageRow = pass.firstRow + size_t{r} * pass.rowStep;
        uint8_t* dst = bits + (static_cast<uint32_t>(height_) - 1 - imageRow) * stride +
                       size_t{pass.firstColumn} * 4;
        if (!png::ConvertRow(format_, row, w, dst, step)) {
            return false;
        }
        prior = row;
    }
    return true;
}

}  // namespace quenda
