#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/CandidateIndex.h"
#include "engine/ColorPoint.h"
#include "engine/PaletteKeyIndex.h"
#include "engine/WindowIndex.h"

namespace quenda {

// One distinct colour of a row: its exact palette entry, and the mean source colour
// of its pixels with their weight.
struct RowColor {
    PaletteKey key;
    WeightedPoint source;
};

// Builds a palette for pictures whose rows hold more colours than a window of codes
// can address, or whose windows would need more entries than a file can count.
// Rows are placed top to bottom; each row's window is the last 251 entries of the
// palette after the row's new entries are appended, so neighbouring rows share most
// of their entries. A row whose colours do not all fit keeps the entries it can
// reach and gets a few new ones, chosen with the reachable ones to serve its
// colours with the least error; the new entries per row are rationed so that the
// palette never grows beyond its capacity.
class RowColorReducer {
  public:
    // capacity: the most entries the palette may have, the transparent entry
    // (which starts the palette) included; at least 2.
    RowColorReducer(PaletteKey transparent, int32_t capacity, int32_t height);

    // Places row y's colours; positions[i] receives the palette position that
    // stands for colors[i]. Returns the row's base (the first entry of its window).
    int32_t Place(const std::vector<RowColor>& colors, int32_t y, std::vector<int32_t>& positions);

    // Each row's weight in sharing out the new entries: a row's share is its weight
    // over the weights of the rows left. Without it each row gets an equal share.
    void SetDemand(std::vector<int64_t> demand);

    // Notes that `key` is used by row `y` ahead. Rows are announced in order, two
    // ahead of the row placed: entries the next rows need are appended last, so
    // that they stay in reach longest.
    void Expect(PaletteKey key, int32_t y);

    const std::vector<PaletteKey>& Palette() const { return palette_; }
    // Whether any row's colours had to be replaced by others.
    bool Reduced() const { return reduced_; }

  private:
    int32_t WindowStart(int32_t appended) const;
    // The demand of row y and the rows below; 0 past the last row.
    int64_t DemandFrom(int32_t y) const;
    int32_t Allowance(int32_t y) const;
    // Keeps count of how many new entries rows needed against their demand.
    void NoteNeed(int32_t y, int32_t need);
    // How many entries row y may take beyond its share and still leave the rows
    // below what they are likely to need.
    int32_t Spare(int32_t y) const;
    int32_t Missing(const std::vector<RowColor>& colors, int32_t& start);
    int32_t Append(PaletteKey key);
    bool UsedByRow(PaletteKey key, int32_t y) const {
        const RowUses& uses = uses_.Get(key);
        return uses.last == y || uses.before == y;
    }
    bool UsedByNextRow(PaletteKey key, int32_t y) const { return UsedByRow(key, y + 1); }
    // Appends the keys of row y, those the next two rows use last.
    void AppendAll(const std::vector<PaletteKey>& keys, int32_t y);
    // A colour of a row out of reach, with its nearest entry in reach (-1 when
    // none is) and the weighted error of that entry.
    struct Behind {
        uint32_t color;
        int32_t nearest;
        float error;
    };
    std::vector<Behind> ServedInReach(const std::vector<RowColor>& colors, int32_t start);
    // Which of those colours of row y get entries of their own: up to `allowance`,
    // chosen one at a time as the colour worst served by the entries in reach and
    // those chosen.
    std::vector<uint8_t> KeepWorstServed(const std::vector<RowColor>& colors,
                                         const std::vector<Behind>& behind, int32_t y,
                                         int32_t allowance) const;
    // The same choice made the other way, which serves the row better but costs a
    // search for each colour left out: leaves out, one at a time, the colour whose
    // own entry would be missed least. `entries` are the colours' own entries.
    // Returns, per colour left out, the kept candidate whose entry is nearest to
    // it when that is nearer than its entry in reach, or kToInReach.
    std::vector<int32_t> LeaveOutLeastMissed(const std::vector<RowColor>& colors,
                                             const std::vector<Behind>& behind,
                                             const std::vector<ColorPoint>& entries, int32_t y,
                                             int32_t allowance, CandidateIndex& candidates) const;
    // Where a colour left out goes, besides a kept candidate's entry: its nearest
    // entry in reach, or the nearest entry once the new entries are in reach too.
    static constexpr int32_t kToInReach = -1;
    static constexpr int32_t kToNearest = -2;
    // Appends the kept colours' entries. Every colour of the row goes to its own
    // entry when it is in reach or kept, and each colour left out where
    // leftOutTo[i] says.
    void PlaceKept(const std::vector<RowColor>& colors, const std::vector<Behind>& behind,
                   const std::vector<uint8_t>& kept, const std::vector<int32_t>& leftOutTo,
                   int32_t y, int32_t start, std::vector<int32_t>& positions);
    int32_t PlaceReduced(const std::vector<RowColor>& colors, int32_t y, int32_t allowance,
                         std::vector<int32_t>& positions);

    std::vector<PaletteKey> palette_;
    std::vector<ColorPoint> points_;  // the point of each palette entry
    WindowIndex window_;              // the entries in reach, for their searches
    // A value per palette key, `unset` until set. Each opacity level's table is
    // made when first written: an opaque picture fills one of them, not all 33.
    template <typename Value>
    class KeyMap {
      public:
        explicit KeyMap(Value unset) : unset_(unset) {}
        const Value& Get(PaletteKey key) const {
            const size_t level = KeyAlpha(key);
            return level < levels_.size() && !levels_[level].empty() ? levels_[level][KeyColor(key)]
                                                                     : unset_;
        }
        void Set(PaletteKey key, const Value& value) {
            const size_t level = KeyAlpha(key);
            levels_.resize(std::max(levels_.size(), level + 1));
            if (levels_[level].empty()) {
                levels_[level].assign(65536, unset_);
            }
            levels_[level][KeyColor(key)] = value;
        }

      private:
        Value unset_;
        std::vector<std::vector<Value>> levels_;
    };
    // The last two rows announced that use a key, together: they are read together.
    struct RowUses {
        int32_t last;
        int32_t before;
    };

    KeyMap<int32_t> latest_{-1};       // per key, its last position in the palette, or -1
    KeyMap<RowUses> uses_{{-1, -1}};   // per key, the rows announced that use it
    std::vector<int64_t> demandLeft_;  // per row, the demand of it and the rows below
    int32_t capacity_;
    int32_t height_;
    bool reduced_ = false;
    int64_t neededSoFar_ = 0;
    int64_t demandSoFar_ = 0;
};

}  // namespace quenda
