#pragma once

#include <cstdint>
#include <vector>

#include "engine/PaletteKeyIndex.h"

namespace quenda {

class c32bppDIB;

// The best-quality palette reduction: a median cut refined by k-means, then by
// rounds that keep the centres on the colours an entry can hold, each colour's
// opacity kept apart, optionally with error diffusion. Distances are measured in
// display RGB: a perceptual space measured worse in PSNR. Works on the encoder's palette (entry 0
// the transparent entry) and its pixels (palette positions, rows top to bottom), reading the source
// colours from the image they came from.
class BestQuantizer {
  public:
    // Reduces the palette to at most `colors` entries besides the transparent one;
    // a palette that already fits is left alone. With `dither`, each pixel's
    // error is spread onto its neighbours (Floyd-Steinberg).
    static void Run(const c32bppDIB& image, std::vector<PaletteKey>& palette,
                    std::vector<int32_t>& pixels, int32_t colors, bool dither);
};

}  // namespace quenda
