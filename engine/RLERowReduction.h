#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/RLEEncodeWork.h"

namespace quenda {

class c32bppDIB;

namespace encoding {

// Rebuilds the palette so that every row fits a window and the palette fits a
// file, replacing colours where they do not, and codes each row into `data`, row
// r ending at rowEnds[r]. `capacity` is the most entries the palette may have;
// `rows` lists each row's colours. Tall pictures are reduced in bands of rows
// side by side.
RowsOutcome ReduceAndCodeRows(const c32bppDIB& image, Work& work, int32_t capacity,
                              const RowColorLists& rows, std::vector<uint8_t>& data,
                              std::vector<size_t>& rowEnds, bool& reduced, EncodeEvents& events);

}  // namespace encoding
}  // namespace quenda
