#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quenda {
class c32bppDIB;
struct RLEIndexMap;
}  // namespace quenda

// What the palette panel counts.
namespace zorix {

// How many pixels use each palette entry, by entry.
std::vector<uint64_t> PaletteUseCounts(const quenda::RLEIndexMap& map);

// The colours an ordinary image holds: distinct colours with their opacity, and the
// distinct entries a device palette would need for them (RGB565 with 33-level alpha;
// every fully transparent pixel counts as the one transparent entry).
struct ColorCounts {
    size_t distinct = 0;
    size_t distinct565 = 0;
};
ColorCounts CountColors(const quenda::c32bppDIB& image);

}  // namespace zorix
