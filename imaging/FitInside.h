#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace quenda {

struct Extent {
    int32_t width = 0;
    int32_t height = 0;
};

// The size a picture is shown at inside a box (both at least 1 x 1): unchanged when it
// fits, else scaled down keeping its aspect so that the limiting side fills the box.
// Each side is at least 1 and at most the box's.
inline Extent FitInside(Extent picture, Extent box) {
    if (picture.width <= box.width && picture.height <= box.height) {
        return picture;
    }
    const double scale = std::min(static_cast<double>(box.width) / picture.width,
                                  static_cast<double>(box.height) / picture.height);
    const auto side = [scale](int32_t length, int32_t limit) {
        return std::clamp(static_cast<int32_t>(std::lround(length * scale)), int32_t{1}, limit);
    };
    return {side(picture.width, box.width), side(picture.height, box.height)};
}

}  // namespace quenda
