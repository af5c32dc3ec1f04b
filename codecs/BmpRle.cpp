#include "codecs/BmpRle.h"

#include <algorithm>
#include <array>

#include "imaging/ByteCursor.h"

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

// Absolute run of `count` pixels; false when the data is too short for it.
bool AbsoluteRun(ByteCursor& in, size_t count, bool fourBits, RleCanvas& canvas) {
    const size_t used = fourBits ? (count + 1) / 2 : count;
    const uint8_t* run = in.Span(used);
    if (run == nullptr) {
        return false;
    }
    for (size_t i = 0; i < count; ++i) {
        canvas.put(RunIndex(run[fourBits ? i / 2 : i], i, fourBits));
    }
    // Runs end on a 16-bit boundary; a missing pad byte ends the data.
    in.Skip(used % 2);
    return true;
}

}  // namespace

bool DecodeRle(const uint8_t* data, size_t size, const BmpInfo& info, uint8_t* pixels) {
    const std::array<uint32_t, 256> palette = ReadBmpPalette(data, size, info);
    const uint32_t black = OpaqueBgra(0, 0, 0);
    std::fill_n(reinterpret_cast<uint32_t*>(pixels), static_cast<size_t>(info.width) * info.height,
                black);
    const bool fourBits = info.compression == kRle4;
    RleCanvas canvas(info, palette, pixels);
    ByteCursor in(data, size);
    in.Seek(info.pixelOffset);
    while (!canvas.finished()) {
        const uint8_t* code = in.Span(2);
        if (code == nullptr) {
            break;
        }
        const uint8_t first = code[0];
        const uint8_t second = code[1];
        if (first > 0) {
            for (size_t i = 0; i < first; ++i) {
                canvas.put(RunIndex(second, i, fourBits));
            }
        } else if (second == 0) {
            canvas.endOfLine();
        } else if (second == 1) {
            break;
        } else if (second == 2) {
            const uint8_t* delta = in.Span(2);
            if (delta == nullptr) {
                break;
            }
            canvas.move(delta[0], delta[1]);
        } else if (!AbsoluteRun(in, second, fourBits, canvas)) {
            break;
        }
    }
    return true;
}

}  // namespace quenda::bmp
