#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zorixpixbuf {

// A device bitmap arriving in pieces: the header is checked as soon as it is complete, so
// a host learns the picture's size (and can ask for another) before the rest arrives;
// the picture is decoded once all bytes are there, at any size. Never throws.
class RleStreamDecoder {
  public:
    // Appends the next bytes. False, with Reason(), when they cannot belong to a device
    // bitmap or the file grows beyond any device bitmap.
    bool Append(const uint8_t* data, size_t size);

    // True once a valid header has arrived.
    bool HeaderRead() const { return headerRead_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    bool HasAlpha() const { return hasAlpha_; }

    // Decodes the collected file into `height` rows of `width` straight RGBA pixels,
    // `stride` bytes apart from `top`, box-filtered from the picture's own size when
    // they differ, without a picture-sized buffer. False, with Reason(), for a damaged
    // or incomplete file.
    bool Decode(int32_t width, int32_t height, uint8_t* top, size_t stride);

    const std::string& Reason() const { return reason_; }

  private:
    bool Fail(std::string reason);
    bool CheckHeader();
    bool DecodeCollected(int32_t width, int32_t height, uint8_t* top, size_t stride);

    std::vector<uint8_t> bytes_;
    bool headerRead_ = false;
    bool failed_ = false;
    int32_t width_ = 0;
    int32_t height_ = 0;
    bool hasAlpha_ = false;
    std::string reason_;
};

}  // namespace zorixpixbuf
