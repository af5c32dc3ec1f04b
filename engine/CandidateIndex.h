#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "engine/ColorPoint.h"
#include "engine/WindowIndex.h"

namespace quenda {

// The entries a row may add, one per colour out of reach, kept in rising order
// along the window's axis, each marked kept or left out: for the nearest kept
// entry to a colour while most are kept.
class CandidateIndex {
  public:
    // All entries start kept.
    CandidateIndex(const std::vector<ColorPoint>& entries, const WindowIndex& axis);

    bool Kept(uint32_t i) const { return keptAt_[placeOf_[i]] != 0; }
    void LeaveOut(uint32_t i) { keptAt_[placeOf_[i]] = 0; }
    // The nearest kept entry to p other than candidate `self`'s, with its squared
    // distance, when it is nearer than `bound` (a squared distance); -1 and
    // `bound` otherwise. The search starts from self's entry, which p lies near.
    std::pair<int32_t, float> NearestKept(const ColorPoint& p, uint32_t self, float bound) const;

  private:
    const WindowIndex& axis_;
    std::vector<float> projected_;  // rising
    std::vector<ColorPoint> sorted_;
    std::vector<uint32_t> candidate_;  // per place, its candidate
    std::vector<uint32_t> placeOf_;    // per candidate, its place
    std::vector<uint8_t> keptAt_;      // per place
};

}  // namespace quenda
