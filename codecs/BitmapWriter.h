#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quenda {

// Where a writer's bytes go, piece by piece, so that a file can be written as its rows
// are made instead of being built whole in memory first.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    // False when the bytes could not be taken; the writer then gives up.
    virtual bool Write(const uint8_t* data, size_t size) = 0;
};

// Collects the bytes in a vector reserved to the expected size.
class VectorSink final : public ByteSink {
  public:
    explicit VectorSink(std::vector<uint8_t>& out) : out_(out) {}
    bool Write(const uint8_t* data, size_t size) override;

  private:
    std::vector<uint8_t>& out_;
};

// The Windows bitmap of a premultiplied BGRA buffer (rows bottom-up, width x 4 bytes
// each): 32 bits per pixel with the bytes as held when `alpha`, else 24 bits of the
// held blue, green and red with rows padded to 4 bytes. One row is converted at a
// time. False when the image is too large for the format or the sink fails.
bool WriteBitmap(const uint8_t* bits, int32_t width, int32_t height, bool alpha, ByteSink& sink);

// The size of the file WriteBitmap makes; 0 when the image is too large for the format.
uint64_t BitmapFileSize(int32_t width, int32_t height, bool alpha);

}  // namespace quenda
