#include <algorithm>

#include "imaging/ReaderChain.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cGDIPlus.h"
#include "platform/FileIO.h"

namespace quenda {

namespace {

// Smaller files and arrays hold no picture any reader takes.
constexpr uint64_t kMinFileSize = 57;
constexpr int64_t kMinStreamSize = 20;
// Larger files are refused before reading.
constexpr uint64_t kMaxFileSize = uint64_t{1} << 31;

}  // namespace

bool c32bppDIB::LoadPicture_File(const std::filesystem::path& fileName, int32_t iconWidth,
                                 int32_t iconHeight, bool keepOriginalFormat,
                                 int32_t iconBitDepth) {
    DestroyDIB();
    const std::optional<uint64_t> length = fileio::FileLength(fileName);
    if (!length || *length < kMinFileSize || *length > kMaxFileSize) {
        return false;
    }
    std::vector<uint8_t> bytes;
    if (!fileio::ReadWholeFile(fileName, bytes, kMaxFileSize) || bytes.size() < kMinFileSize) {
        return false;
    }
    return RunReaderChain(
        *this, {bytes, 0, bytes.size(), iconWidth, iconHeight, iconBitDepth, keepOriginalFormat});
}

bool c32bppDIB::LoadPicture_Stream(const std::vector<uint8_t>& bytes, int32_t iconWidth,
                                   int32_t iconHeight, int64_t startIndex, int64_t length,
                                   bool keepOriginalFormat, int32_t iconBitDepth) {
    DestroyDIB();
    const int64_t size = static_cast<int64_t>(bytes.size());
    startIndex = std::max<int64_t>(startIndex, 0);
    if (startIndex >= size) {
        return false;
    }
    // A length of 0 (or one running past the end) means to the end of the array.
    const int64_t available = size - startIndex;
    length = (length <= 0 || length > available) ? available : length;
    if (length < kMinStreamSize) {
        return false;
    }
    return RunReaderChain(
        *this, {bytes, static_cast<size_t>(startIndex), static_cast<size_t>(length), iconWidth,
                iconHeight, iconBitDepth, keepOriginalFormat});
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
        static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kMaxPixels) {
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
