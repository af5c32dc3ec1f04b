#pragma once

#include <cstddef>
#include <cstdint>

// How large an image, and how small or large a file, the loaders take.
namespace quenda {

// Largest image the buffer accepts, in pixels; readers refuse larger ones early.
constexpr uint64_t kMaxImagePixels = uint64_t{1} << 28;

// Larger files are refused before reading.
constexpr uint64_t kMaxFileBytes = uint64_t{1} << 31;

// Smaller files hold no picture any reader takes (a file of 56 bytes or less is no PNG).
constexpr uint64_t kMinFileBytes = 57;

}  // namespace quenda
