#pragma once

#include <cstdint>
#include <vector>

#include "engine/PaletteKeyIndex.h"

namespace quenda {

// Chooses, row by row, the window of at most 251 consecutive palette entries that
// the row's codes address, appending copies of colours to the palette when a row's
// colours lie too far apart. Colours are named by their id: their position in the
// palette as given, which holds each colour once. Copies sit at the end, so the
// positions of one colour only ever grow.
class RowWindowChooser {
  public:
    explicit RowWindowChooser(std::vector<PaletteKey>& palette);

    // The base (first entry of the window, at least 1) for a row with these
    // distinct colour ids, in order of appearance; appends copies as needed.
    int32_t ChooseBase(const std::vector<int32_t>& rowColors);

    // Code 1..251 of colour id in the window starting at base, or -1 when the
    // colour has no position in that window.
    int32_t Code(int32_t id, int32_t base) const;

  private:
    // First position of colour id at or after start, or -1.
    int32_t Find(int32_t id, int32_t start) const;
    int32_t AppendMissing(const std::vector<int32_t>& rowColors);

    std::vector<PaletteKey>& palette_;
    // Positions of the appended copies of each colour, rising.
    std::vector<std::vector<int32_t>> copies_;
};

}  // namespace quenda
