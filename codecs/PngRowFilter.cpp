#include "codecs/PngRowFilter.h"

#include "codecs/PngFormat.h"

namespace quenda::png {

namespace {

// The predictor of byte i of the row under a filter.
inline int Predict(uint8_t filter, const uint8_t* raw, const uint8_t* prior, size_t i, unsigned d) {
    const int left = i >= d ? raw[i - d] : 0;
    switch (filter) {
        case kFilterSub:
            return left;
        case kFilterUp:
            return prior[i];
        case kFilterAverage:
            return (left + prior[i]) >> 1;
        case kFilterPaeth:
            return PaethPredictor(left, prior[i], i >= d ? prior[i - d] : 0);
        default:
            return 0;
    }
}

template <uint8_t F>
void FilterWith(const uint8_t* raw, const uint8_t* prior, size_t n, unsigned d, uint8_t* out) {
    for (size_t i = 0; i < n; ++i) {
        out[i] = static_cast<uint8_t>(raw[i] - Predict(F, raw, prior, i, d));
    }
}

// Score of a filter, or a value above `best` as soon as the running sum passes it.
uint64_t Score(uint8_t filter, const uint8_t* raw, const uint8_t* prior, size_t n, unsigned d,
               uint64_t best) {
    uint64_t sum = 0;
    for (size_t i = 0; i < n; ++i) {
        const int diff = raw[i] - Predict(filter, raw, prior, i, d);
        sum += static_cast<uint64_t>(diff < 0 ? -diff : diff);
        if (sum > best) {
            return sum;
        }
    }
    return sum;
}

}  // namespace

void FilterRow(uint8_t filter, const uint8_t* raw, const uint8_t* prior, size_t n, unsigned d,
               uint8_t* out) {
    out[0] = filter;
    ++out;
    switch (filter) {
        case kFilterSub:
            return FilterWith<kFilterSub>(raw, prior, n, d, out);
        case kFilterUp:
            return FilterWith<kFilterUp>(raw, prior, n, d, out);
        case kFilterAverage:
            return FilterWith<kFilterAverage>(raw, prior, n, d, out);
        case kFilterPaeth:
            return FilterWith<kFilterPaeth>(raw, prior, n, d, out);
        default:
            return FilterWith<kFilterNone>(raw, prior, n, d, out);
    }
}

uint8_t ChooseAdaptiveFilter(const uint8_t* raw, const uint8_t* prior, size_t n, unsigned d,
                             bool firstRow) {
    uint64_t best = uint64_t{254} * n;
    uint8_t choice = kFilterNone;
    for (uint8_t filter = kFilterNone; filter <= kFilterPaeth; ++filter) {
        if (filter == kFilterUp && firstRow) {
            continue;
        }
        uint64_t score = Score(filter, raw, prior, n, d, best);
        if (score <= best) {
            choice = filter;
            best = score == 0 ? 1 : score;
        }
    }
    return choice;
}

}  // namespace quenda::png
