#include "platform/BmpRle.h"

#include <algorithm>
#include <array>

namespace quenda::bmp {

namespace {

// Walks the stream and puts palette colours into the picture, clipping to it.
class RleCanvas {
  public:
    RleCanvas(const BmpInfo& info, const std::array<uint32_t, 256>& palette, uint8_t* pixels)
        : width_(info.width),
          height_(info.height),
          palette_(palette),
          pixels_(reinterpret_cast<uint32_t*>(pixels)) {}

    bool finished() const { return y_ >= height_; }
    void put(uint8_t index) {
        if (x_ < width_ && y_ < height_) {
            pixels_[static_cast<size_t>(y_) * width_ + x_] = palette_[index];
        }
        // Past the right edge nothing is drawn; keep x from growing without bound.
        x_ = std::min<int64_t>(x_ + 1, width_);
    }
    void endOfLine() {
        x_ = 0;
        ++y_;
    }
    void move(uint8_t dx, uint8_t dy) {
        x_ = std::min<int64_t>(x_ + dx, width_);
        y_ += dy;
    }

  private:
    int64_t width_;
    int64_t height_;
    const std::array<uint32_t, 256>& palette_;
    uint32_t* pixels_;
    int64_t x_ = 0;
    int64_t y_ = 0;
};

// The index of pixel i of a run: RLE8 repeats its byte, RLE4 alternates nibbles.
uint8_t RunIndex(uint8_t value, size_t i, bool fourBits) {
    if (!fourBits) {
        return value;
    }
    return (i % 2 == 0) ? static_cast<uint8_t>(value >> 4) : static_cast<uint8_t>(value & 0x0F);
}

// Absolute run of `count` pixels at `at`; returns the bytes used, or 0 when the
// data is too short.
size_t AbsoluteRun(const uint8_t* data, size_t at, size_t end, size_t count, bool fourBits,
                   RleCanvas& canvas) {
    const size_t used = fourBits ? (count + 1) / 2 : count;
    const size_t padded = (used + 1) & ~size_t{1};  // runs end on a 16-bit boundary
    if (end - at < used) {
        return 0;
    }
    for (size_t i = 0; i < count; ++i) {
        const uint8_t byte = data[at + (fourBits ? i / 2 : i)];
        canvas.put(RunIndex(byte, i, fourBits));
    }
    return std::min(padded, end - at);
}

}  // namespace

bool DecodeRle(const uint8_t* data, size_t size, const BmpInfo& info, uint8_t* pixels) {
    const std::array<uint32_t, 256> palette = ReadBmpPalette(data, size, info);
    const uint32_t black = OpaqueBgra(0, 0, 0);
    std::fill_n(reinterpret_cast<uint32_t*>(pixels), static_cast<size_t>(info.width) * info.height,
                black);
    const bool fourBits = info.compression == kRle4;
    RleCanvas canvas(info, palette, pixels);
    size_t at = info.pixelOffset;
    while (at + 2 <= size && !canvas.finished()) {
        const uint8_t first = data[at];
        const uint8_t second = data[at + 1];
        at += 2;
        if (first > 0) {
            for (size_t i = 0; i < first; ++i) {
                canvas.put(RunIndex(second, i, fourBits));
            }
        } else if (second == 0) {
            canvas.endOfLine();
        } else if (second == 1) {
            break;
        } else if (second == 2) {
            if (at + 2 > size) {
                break;
            }
            canvas.move(data[at], data[at + 1]);
            at += 2;
        } else {
            const size_t used = AbsoluteRun(data, at, size, second, fourBits, canvas);
            if (used == 0) {
                break;
            }
            at += used;
        }
    }
    return true;
}

}  // namespace quenda::bmp
