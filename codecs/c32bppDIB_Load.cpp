#include <algorithm>

#include "imaging/ByteWindow.h"
#include "imaging/ImageLimits.h"
#include "codecs/ReaderChain.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cGDIPlus.h"
#include "platform/FileIO.h"

namespace quenda {

namespace {

// Smaller arrays hold no picture any reader takes.
constexpr size_t kMinStreamSize = 20;

}  // namespace

bool c32bppDIB::LoadPicture_File(const std::filesystem::path& fileName, int32_t iconWidth,
                                 int32_t iconHeight, bool keepOriginalFormat,
                                 int32_t iconBitDepth) {
    DestroyDIB();
    const std::optional<uint64_t> length = fileio::FileLength(fileName);
    if (!length || *length < kMinFileBytes || *length > kMaxFileBytes) {
        return false;
    }
    std::vector<uint8_t> bytes;
    if (!fileio::ReadWholeFile(fileName, bytes, kMaxFileBytes) || bytes.size() < kMinFileBytes) {
        return false;
    }
    return RunReaderChain(
        *this, {bytes, 0, bytes.size(), iconWidth, iconHeight, iconBitDepth, keepOriginalFormat});
}

bool c32bppDIB::LoadPicture_Stream(const std::vector<uint8_t>& bytes, int32_t iconWidth,
                                   int32_t iconHeight, int64_t startIndex, int64_t length,
                                   bool keepOriginalFormat, int32_t iconBitDepth) {
    DestroyDIB();
    // A negative start is the array's start; a length of 0 or less, or one running past
    // the end, means to the end of the array.
    const int64_t size = static_cast<int64_t>(bytes.size());
    const size_t start = static_cast<size_t>(std::clamp<int64_t>(startIndex, 0, size));
    const ByteWindow window =
        ByteWindow::Of(bytes, start, static_cast<size_t>(std::clamp<int64_t>(length, 0, size)),
                       ByteWindow::ZeroLength::Rest);
    if (window.data == nullptr || window.size < kMinStreamSize) {
        return false;
    }
    return RunReaderChain(*this, {bytes, start, window.size, iconWidth, iconHeight, iconBitDepth,
                                  keepOriginalFormat});
}

bool c32bppDIB::LoadPicture_FromOrignalFormat(int32_t iconWidth, int32_t iconHeight,
                                              int32_t iconBitDepth) {
    // Loading empties the buffer, the kept bytes with it: work on a copy.
    const std::vector<uint8_t> source = originalFormat_;
    if (source.empty()) {
        DestroyDIB();
        return false;
    }
    return LoadPicture_Stream(source, iconWidth, iconHeight, 0, 0, true, iconBitDepth);
}

bool c32bppDIB::AdoptBits(std::unique_ptr<uint8_t[]> bits, int32_t width, int32_t height) {
    DestroyDIB();
    if (!bits || width <= 0 || height <= 0 ||
        static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kMaxImagePixels) {
        return false;
    }
    bits_ = std::move(bits);
    width_ = width;
    height_ = height;
    imageType_ = IMAGE_BLANK;
    alpha_ = true;
    return true;
}

uint32_t c32bppDIB::CreateGDIplusToken() {
    uint32_t token = 0;
    cGDIPlus bridge;
    return bridge.isGDIplusOk(&token, true) ? token : 0;
}

bool c32bppDIB::DestroyGDIplusToken(uint32_t token) {
    return cGDIPlus::ShutdownToken(token);
}

}  // namespace quenda
