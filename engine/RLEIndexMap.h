#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/PALETTE16.h"
#include "imaging/Failure.h"

namespace quenda {

// A device bitmap as its palette and the palette entry of every pixel, for tools
// that show which entry a pixel uses. Rows are top-down, `width` entries each.
struct RLEIndexMap {
    int32_t width = 0;
    int32_t height = 0;
    bool hasAlpha = false;
    std::vector<PALETTE16> palette;  // entries 0..N-1; entry 0 is the transparent one
    std::vector<uint16_t> indices;   // width x height entry numbers

    uint16_t IndexAt(int32_t x, int32_t y) const {
        return indices[static_cast<size_t>(y) * static_cast<size_t>(width) +
                       static_cast<size_t>(x)];
    }
};

struct RLEIndexMapResult {
    bool success = false;
    RLEIndexMap map;
    Failure failure;  // none on success
};

// Reads a whole device bitmap file into its index map. It takes the same tokens as
// the decoder and fails where the decoder fails; pixels no token reaches use entry 0.
RLEIndexMapResult ReadRLEIndexMap(std::span<const uint8_t> file);

}  // namespace quenda
