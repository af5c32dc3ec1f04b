#pragma once

#include <cstddef>
#include <cstdint>

namespace quenda::png {

// Writes the filter type byte and the row filtered with it to out (n + 1 bytes).
// prior is the previous raw row (zeros for the first row), d the filter distance.
void FilterRow(uint8_t filter, const uint8_t* raw, const uint8_t* prior, size_t n, unsigned d,
               uint8_t* out);

// The adaptive choice: None, Sub, Up (not on the first row), Average and Paeth scored
// in that order by the sum of absolute differences from their predictors (the raw
// bytes for None); a filter whose score is not greater than the best so far wins.
uint8_t ChooseAdaptiveFilter(const uint8_t* raw, const uint8_t* prior, size_t n, unsigned d,
                             bool firstRow);

}  // namespace quenda::png
