#include "engine/PaletteMerger.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "engine/modColor.h"

namespace quenda {

namespace {

constexpr int kAlphaLevels = 33;
// Candidates are bucketed per alpha level in cells of 4 red x 8 green x 4 blue steps.
constexpr int kCellsPerAxis = 8;
constexpr int kCellsPerAlpha = kCellsPerAxis * kCellsPerAxis * kCellsPerAxis;
constexpr int kNoMatch = std::numeric_limits<int32_t>::max();
// Slack for the cell filter, far above the rounding of the similarity formula; the
// decision itself is always ColorSimilarity against the threshold.
constexpr double kSlack = 1e-6;

int CellOf(const Rgb565Fields& c) {
    return ((c.red >> 2) * kCellsPerAxis + (c.green >> 3)) * kCellsPerAxis + (c.blue >> 2);
}

// Distance from v to the nearest value of the cell [first, first + width - 1].
int GapToCell(int v, int first, int width) {
    if (v < first) {
        return first - v;
    }
    const int last = first + width - 1;
    return v > last ? v - last : 0;
}

// The rare half's candidates, bucketed by alpha and cell, each bucket in palette
// order so that its first match is its lowest position.
class CandidateGrid {
  public:
    CandidateGrid(const std::vector<PaletteKey>& palette, int32_t half) : palette_(palette) {
        offsets_.assign(kAlphaLevels * kCellsPerAlpha + 1, 0);
        for (int32_t k = 1; k <= half; ++k) {
            ++offsets_[BucketOf(palette[k]) + 1];
            hasAlpha_[KeyAlpha(palette[k])] = true;
        }
        for (size_t i = 1; i < offsets_.size(); ++i) {
            offsets_[i] += offsets_[i - 1];
        }
        positions_.resize(static_cast<size_t>(half));
        std::vector<int32_t> fill(offsets_.begin(), offsets_.end() - 1);
        for (int32_t k = 1; k <= half; ++k) {
            positions_[fill[BucketOf(palette[k])]++] = k;
        }
    }

    bool HasAlpha(uint8_t alpha) const { return alpha < kAlphaLevels && hasAlpha_[alpha]; }

    // Lowest candidate position of the same alpha whose similarity to `key` reaches
    // the threshold, or kNoMatch.
    int32_t FirstMatch(PaletteKey key, float threshold) const {
        const uint8_t alpha = KeyAlpha(key);
        if (!HasAlpha(alpha)) {
            return kNoMatch;
        }
        const Rgb565Fields c = FieldsOf565(KeyColor(key));
        // Similarity >= T means the weighted channel distance is at most 3 (100 - T).
        const double budget = 3.0 * (100.0 - static_cast<double>(threshold)) + kSlack;
        if (budget < 0) {
            return kNoMatch;
        }
        const int reachRB = std::min(31, static_cast<int>(budget * 31.0 / 100.0));
        const int reachG = std::min(63, static_cast<int>(budget * 63.0 / 100.0));
        int32_t best = kNoMatch;
        const int base = alpha * kCellsPerAlpha;
        for (int cr = std::max(0, c.red - reachRB) >> 2; cr <= std::min(31, c.red + reachRB) >> 2;
             ++cr) {
            const double dr = GapToCell(c.red, cr * 4, 4) * 100.0 / 31.0;
            if (dr > budget) {
                continue;
            }
            for (int cg = std::max(0, c.green - reachG) >> 3;
                 cg <= std::min(63, c.green + reachG) >> 3; ++cg) {
                const double drg = dr + GapToCell(c.green, cg * 8, 8) * 100.0 / 63.0;
                if (drg > budget) {
                    continue;
                }
                for (int cb = std::max(0, c.blue - reachRB) >> 2;
                     cb <= std::min(31, c.blue + reachRB) >> 2; ++cb) {
                    if (drg + GapToCell(c.blue, cb * 4, 4) * 100.0 / 31.0 > budget) {
                        continue;
                    }
                    const int cell = (cr * kCellsPerAxis + cg) * kCellsPerAxis + cb;
                    best = std::min(best, FirstInBucket(base + cell, key, threshold, best));
                }
            }
        }
        return best;
    }

  private:
    static int BucketOf(PaletteKey key) {
        return KeyAlpha(key) * kCellsPerAlpha + CellOf(FieldsOf565(KeyColor(key)));
    }

    int32_t FirstInBucket(int bucket, PaletteKey key, float threshold, int32_t below) const {
        const uint16_t color = KeyColor(key);
        for (int32_t i = offsets_[bucket]; i < offsets_[bucket + 1]; ++i) {
            const int32_t k = positions_[i];
            if (k >= below) {
                break;
            }
            if (ColorSimilarity(KeyColor(palette_[k]), color) >= threshold) {
                return k;
            }
        }
        return kNoMatch;
    }

    const std::vector<PaletteKey>& palette_;
    std::vector<int32_t> offsets_;
    std::vector<int32_t> positions_;
    std::array<bool, kAlphaLevels> hasAlpha_{};
};

struct Pair {
    int32_t to;    // frequent entry that stays
    int32_t from;  // rare entry folded into it
};

// The pairs of one pass in the order the plain search meets them: by "to" rising,
// then by "from" falling.
std::vector<Pair> FindPairs(const std::vector<PaletteKey>& palette, float threshold) {
    const auto count = static_cast<int32_t>(palette.size());
    const int32_t half = count / 2;
    const CandidateGrid grid(palette, half);
    std::vector<Pair> pairs;
    for (int32_t m = count - 1; m > half; --m) {
        const int32_t k = grid.FirstMatch(palette[m], threshold);
        if (k != kNoMatch) {
            pairs.push_back({k, m});
        }
    }
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const Pair& a, const Pair& b) { return a.to < b.to; });
    return pairs;
}

// True when some entry of the rare half shares its alpha with one of the frequent
// half: only then can a pass at a lower threshold merge anything.
bool HalvesShareAnAlpha(const std::vector<PaletteKey>& palette) {
    const auto count = static_cast<int32_t>(palette.size());
    const int32_t half = count / 2;
    std::array<bool, 256> lower{};
    for (int32_t k = 1; k <= half; ++k) {
        lower[KeyAlpha(palette[k])] = true;
    }
    for (int32_t m = half + 1; m < count; ++m) {
        if (lower[KeyAlpha(palette[m])]) {
            return true;
        }
    }
    return false;
}

// Removes the merged entries; returns the new position of every old position.
std::vector<int32_t> ApplyPairs(std::vector<PaletteKey>& palette, const std::vector<Pair>& pairs,
                                size_t taken) {
    std::vector<int32_t> target(palette.size(), -1);
    for (size_t j = 0; j < taken; ++j) {
        target[pairs[j].from] = pairs[j].to;
    }
    std::vector<int32_t> moved(palette.size());
    size_t kept = 0;
    for (size_t i = 0; i < palette.size(); ++i) {
        if (target[i] < 0) {
            moved[i] = static_cast<int32_t>(kept);
            palette[kept++] = palette[i];
        }
    }
    for (size_t i = 0; i < moved.size(); ++i) {
        if (target[i] >= 0) {
            moved[i] = moved[target[i]];  // a "to" entry is never removed
        }
    }
    palette.resize(kept);
    return moved;
}

float LowerThreshold(float threshold) {
    return static_cast<float>(static_cast<double>(threshold) - 0.1);
}

}  // namespace

std::vector<int32_t> PaletteMerger::Run(std::vector<PaletteKey>& palette, float accuracy,
                                        int32_t maxPalette, const PairEvent& onPair) {
    std::vector<int32_t> where(palette.size());
    for (size_t i = 0; i < where.size(); ++i) {
        where[i] = static_cast<int32_t>(i);
    }
    float threshold = accuracy < 100.0f ? accuracy : 99.9f;
    for (;;) {
        const auto count = static_cast<int32_t>(palette.size());
        const std::vector<Pair> pairs = FindPairs(palette, threshold);
        // With a limit the pass stops at the pair that brings the palette down to it.
        size_t taken = pairs.size();
        if (maxPalette > 0) {
            const size_t needed = static_cast<size_t>(std::max(1, count - maxPalette));
            taken = std::min(taken, needed);
        }
        for (size_t j = 1; j <= taken; ++j) {
            const int32_t remaining = count - static_cast<int32_t>(j);
            if (maxPalette > 0 && maxPalette >= remaining) {
                break;
            }
            onPair(remaining);
        }
        if (taken > 0) {
            const std::vector<int32_t> moved = ApplyPairs(palette, pairs, taken);
            for (int32_t& w : where) {
                w = moved[w];
            }
        }
        const auto left = static_cast<int32_t>(palette.size());
        if (maxPalette < 1 || maxPalette >= left) {
            break;
        }
        if (taken == 0 && !HalvesShareAnAlpha(palette)) {
            break;  // no later pass could merge anything
        }
        threshold = LowerThreshold(threshold);
    }
    return where;
}

}  // namespace quenda
