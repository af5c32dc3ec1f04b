#include "codecs/BitmapWriter.h"

#include <utility>

#include "imaging/BitmapStride.h"
#include "imaging/ByteOrder.h"
#include "codecs/BmpHeader.h"
#include "platform/FileIO.h"

namespace quenda {

namespace {

constexpr uint32_t kBitmapHeaderSize = bmp::kFileHeaderSize + bmp::kInfoHeaderSize;

size_t RowLength(int32_t width, int bitsPerPixel) {
    return static_cast<size_t>(
        BitmapRowLength(static_cast<uint64_t>(width), static_cast<uint32_t>(bitsPerPixel)));
}

std::vector<uint8_t> Header(int32_t width, int32_t height, int bitsPerPixel, uint32_t imageSize) {
    std::vector<uint8_t> out;
    out.reserve(kBitmapHeaderSize);
    out.insert(out.end(), bmp::kSignature.begin(), bmp::kSignature.end());
    bytes::AppendLE32(out, imageSize + kBitmapHeaderSize);
    bytes::AppendLE32(out, 0);
    bytes::AppendLE32(out, kBitmapHeaderSize);
    bytes::AppendLE32(out, bmp::kInfoHeaderSize);
    bytes::AppendLE32(out, static_cast<uint32_t>(width));
    bytes::AppendLE32(out, static_cast<uint32_t>(height));
    bytes::AppendLE16(out, 1);
    bytes::AppendLE16(out, static_cast<uint16_t>(bitsPerPixel));
    bytes::AppendLE32(out, bmp::kRgb);
    bytes::AppendLE32(out, imageSize);
    out.resize(kBitmapHeaderSize, 0);
    return out;
}

// Blue, green and red of each pixel, without un-premultiplying; the padding stays zero.
void PackRow24(const uint8_t* src, int32_t width, uint8_t* dst) {
    for (int32_t x = 0; x < width; ++x, src += 4, dst += 3) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
    }
}

}  // namespace

bool VectorSink::Write(const uint8_t* data, size_t size) {
    out_.insert(out_.end(), data, data + size);
    return true;
}

namespace {
constexpr size_t kSinkBlock = size_t{1} << 18;  // few system calls, little memory
}  // namespace

ReplacingFileSink::ReplacingFileSink(const std::filesystem::path& target) : file_(target) {
    pending_.reserve(kSinkBlock);
}

bool ReplacingFileSink::Write(const uint8_t* data, size_t size) {
    if (!file_.IsOpen()) {
        return false;
    }
    pending_.insert(pending_.end(), data, data + size);
    return pending_.size() < kSinkBlock || Flush();
}

bool ReplacingFileSink::Flush() {
    const bool written = file_.Write(pending_.data(), pending_.size());
    pending_.clear();
    return written;
}

bool ReplacingFileSink::Commit() {
    return file_.IsOpen() && Flush() && file_.Commit();
}

uint64_t BitmapFileSize(int32_t width, int32_t height, bool alpha) {
    if (width <= 0 || height <= 0) {
        return 0;
    }
    const uint64_t size =
        uint64_t{RowLength(width, alpha ? 32 : 24)} * static_cast<uint64_t>(height) +
        kBitmapHeaderSize;
    return size > UINT32_MAX ? 0 : size;
}

bool WriteBitmap(const uint8_t* bits, int32_t width, int32_t height, bool alpha, ByteSink& sink) {
    const uint64_t fileSize = BitmapFileSize(width, height, alpha);
    if (bits == nullptr || fileSize == 0) {
        return false;
    }
    const int bitsPerPixel = alpha ? 32 : 24;
    const std::vector<uint8_t> header =
        Header(width, height, bitsPerPixel, static_cast<uint32_t>(fileSize - kBitmapHeaderSize));
    if (!sink.Write(header.data(), header.size())) {
        return false;
    }
    const size_t heldRow = static_cast<size_t>(width) * 4;
    if (alpha) {
        // Rows are the held bytes exactly, bottom row first.
        return sink.Write(bits, heldRow * static_cast<size_t>(height));
    }
    std::vector<uint8_t> row(RowLength(width, 24), 0);
    for (int32_t y = 0; y < height; ++y) {
        PackRow24(bits + static_cast<size_t>(y) * heldRow, width, row.data());
        if (!sink.Write(row.data(), row.size())) {
            return false;
        }
    }
    return true;
}

}  // namespace quenda
