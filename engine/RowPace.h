#pragma once

#include <cstdint>
#include <vector>

#include "engine/RLEEncodeWork.h"

namespace quenda::encoding {

// How the new entries of a palette of `capacity` entries are best shared out
// between rows, as a weight per row: a row's share of the new entries is its
// weight over the weights of the rows left.
std::vector<int64_t> PaceRows(const RowColorLists& rows, size_t paletteSize, int32_t capacity);

}  // namespace quenda::encoding
