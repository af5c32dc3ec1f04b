#include "pixbuf/RleStreamDecoder.h"

#include <new>

#include "engine/RLEFormat.h"
#include "engine/RLEScaledDecoder.h"
#include "imaging/ImageLimits.h"

namespace zorixpixbuf {

namespace {

namespace rle = quenda::rle;

// The largest file the format can describe: the header, 65535 colours with their
// alpha table, 32767 long row records and as many rows of 32767 bytes.
constexpr uint64_t kLargestDeviceFile =
    rle::kHeaderSize + 2 * 65535 + 65536 + 3 * uint64_t{32767} + uint64_t{32767} * 32767;

}  // namespace

bool RleStreamDecoder::Fail(std::string reason) {
    failed_ = true;
    reason_ = std::move(reason);
    bytes_.clear();
    bytes_.shrink_to_fit();
    return false;
}

bool RleStreamDecoder::CheckHeader() {
    if (!rle::HasSignature(bytes_.data(), bytes_.size())) {
        return Fail("not a device bitmap");
    }
    const rle::Header header = rle::ReadHeader(bytes_.data());
    if (header.width <= 0 || header.height <= 0) {
        return Fail("the device bitmap has no pixels");
    }
    if (static_cast<uint64_t>(header.width) * static_cast<uint64_t>(header.height) >
        quenda::kMaxImagePixels) {
        return Fail("the device bitmap is too large");
    }
    width_ = header.width;
    height_ = header.height;
    hasAlpha_ = header.hasAlpha;
    headerRead_ = true;
    return true;
}

bool RleStreamDecoder::Append(const uint8_t* data, size_t size) {
    if (failed_) {
        return false;
    }
    if (size > kLargestDeviceFile - bytes_.size()) {
        return Fail("the file is longer than any device bitmap");
    }
    try {
        bytes_.insert(bytes_.end(), data, data + size);
    } catch (const std::bad_alloc&) {
        return Fail("not enough memory for the file");
    }
    if (!headerRead_ && bytes_.size() >= rle::kHeaderSize) {
        return CheckHeader();
    }
    return true;
}

bool RleStreamDecoder::Decode(int32_t width, int32_t height, uint8_t* top, size_t stride) {
    if (failed_) {
        return false;
    }
    if (!headerRead_) {
        return Fail("the file ends inside the device bitmap's header");
    }
    if (width <= 0 || height <= 0) {
        return Fail("the requested size is empty");
    }
    try {
        return DecodeCollected(width, height, top, stride);
    } catch (const std::bad_alloc&) {
        return Fail("not enough memory for the picture");
    }
}

bool RleStreamDecoder::DecodeCollected(int32_t width, int32_t height, uint8_t* top, size_t stride) {
    // Straight into the host's rows at the size it asked for: no picture-sized buffer.
    quenda::RLETarget target;
    target.top = top;
    target.stride = static_cast<ptrdiff_t>(stride);
    target.width = width;
    target.height = height;
    target.order = quenda::RLEPixelOrder::StraightRGBA;
    const quenda::RLEScaledResult result = quenda::DecodeRLEScaled(bytes_, target);
    if (!result.success) {
        return Fail(result.failure.Text());
    }
    return true;
}

}  // namespace zorixpixbuf
