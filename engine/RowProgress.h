#pragma once

#include <cstdint>

namespace quenda {

// Progress in percent after row y (0-based) of `height` rows, as the decoding and
// encoding events report it. A one-row image is complete after its only row.
inline float RowProgress(int32_t y, int32_t height) {
    return height > 1 ? static_cast<float>(y * 100.0 / (height - 1)) : 100.0f;
}

}  // namespace quenda
