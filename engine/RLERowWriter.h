#pragma once

#include <algorithm>
#include <cstdint>

namespace quenda::rle {

// Pixels a run's first store writes at once, whatever its length: one store of a
// fixed size is cheaper than a fill whose length the processor has to guess.
constexpr int32_t kBurst = 16;

// Writes the runs of one row straight into a row of 32-bit pixels; columns beyond the
// width are dropped. Far from the row's end a run is written as a burst that may reach
// past the run: the next runs overwrite that, and finish() clears what no run reached.
class RowWriter {
  public:
    RowWriter(uint32_t* out, int32_t width) : out_(out), width_(width) {}

    void put(uint32_t pixel, uint32_t count) {
        if (width_ - x_ < kBurst) {
            putNearEnd(pixel, count);
            return;
        }
        uint32_t* at = out_ + x_;
        for (int32_t i = 0; i < kBurst; ++i) {
            at[i] = pixel;
        }
        const int64_t end = std::min<int64_t>(int64_t{x_} + count, width_);
        if (count > static_cast<uint32_t>(kBurst)) {
            std::fill(at + kBurst, out_ + end, pixel);
        }
        reach_ = x_ + kBurst;
        x_ = static_cast<int32_t>(end);
    }

    // Columns a burst wrote but no run reached are transparent black again.
    void finish() {
        if (x_ < reach_) {
            std::fill(out_ + x_, out_ + reach_, 0u);
        }
    }

    // For a row that did not start out cleared: every column no run reached gets `empty`.
    void finishWith(uint32_t empty) { std::fill(out_ + x_, out_ + width_, empty); }

  private:
    void putNearEnd(uint32_t pixel, uint32_t count) {
        const int32_t end = static_cast<int32_t>(std::min<int64_t>(int64_t{x_} + count, width_));
        if (x_ < end) {
            std::fill(out_ + x_, out_ + end, pixel);
            x_ = end;
        }
    }

    uint32_t* out_;
    int32_t width_;
    int32_t x_ = 0;
    int32_t reach_ = 0;  // end of the last burst; x_ only grows, so it is the furthest
};

}  // namespace quenda::rle
