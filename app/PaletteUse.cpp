#include "app/PaletteUse.h"

#include <algorithm>

#include "engine/RLEIndexMap.h"
#include "engine/modColor.h"
#include "imaging/c32bppDIB.h"

namespace zorix {

namespace {

size_t DistinctCount(std::vector<uint32_t>& values) {
    std::sort(values.begin(), values.end());
    return static_cast<size_t>(std::unique(values.begin(), values.end()) - values.begin());
}

}  // namespace

std::vector<uint64_t> PaletteUseCounts(const quenda::RLEIndexMap& map) {
    std::vector<uint64_t> counts(map.palette.size(), 0);
    for (const uint16_t index : map.indices) {
        if (index < counts.size()) {
            ++counts[index];
        }
    }
    return counts;
}

ColorCounts CountColors(const quenda::c32bppDIB& image) {
    const size_t pixels = static_cast<size_t>(std::max(0, image.Width())) *
                          static_cast<size_t>(std::max(0, image.Height()));
    std::vector<uint32_t> colors;
    std::vector<uint32_t> entries;
    colors.reserve(pixels);
    entries.reserve(pixels);
    for (int32_t y = 0; y < image.Height(); ++y) {
        for (int32_t x = 0; x < image.Width(); ++x) {
            uint8_t alpha = 0;
            const auto color = static_cast<uint32_t>(image.GetPixel(x, y, &alpha));
            const uint8_t level = quenda::AlphaTo33(alpha);
            colors.push_back(alpha == 0 ? 0 : (color | (uint32_t{alpha} << 24)));
            entries.push_back(level == 0 ? 0
                                         : ((uint32_t{level} << 16) | quenda::RGBTo565(color)) + 1);
        }
    }
    return {DistinctCount(colors), DistinctCount(entries)};
}

}  // namespace zorix
