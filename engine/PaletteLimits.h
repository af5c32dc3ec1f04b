#pragma once

#include <cstdint>

namespace quenda {

// The palette options' limits: the colour accuracy is a percentage within these
// bounds, and a palette limit of 1 to kMaxPaletteLimit entries (0: no limit).
inline constexpr float kMinColorAccuracy = 90.0f;
inline constexpr float kMaxColorAccuracy = 100.0f;
inline constexpr int32_t kMaxPaletteLimit = 9999;

}  // namespace quenda
