#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "engine/PaletteKeyIndex.h"

namespace quenda {

// Folds rare colours into frequent similar ones. The palette comes sorted by
// frequency, most frequent first, with the transparent entry at index 0, which
// never takes part. Each pass pairs every entry of the lower half (the rare ones)
// with the first entry of the upper half of the same alpha whose similarity reaches
// the threshold; with a size limit the threshold drops by 0.1 per pass until the
// palette fits, and the last pass stops at exactly the limit.
class PaletteMerger {
  public:
    // Called once per merged pair, except the one that meets the size limit, with
    // the palette size that remains.
    using PairEvent = std::function<void(int32_t remaining)>;

    // Merges in place. Returns, for every position of the palette as given, the
    // position of the entry that now stands for it.
    static std::vector<int32_t> Run(std::vector<PaletteKey>& palette, float accuracy,
                                    int32_t maxPalette, const PairEvent& onPair);
};

}  // namespace quenda
