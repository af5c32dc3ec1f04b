#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quenda {

// Where a value falls among values kept in rising order, found through a table of
// evenly wide buckets instead of a binary search: a window's colours projected on
// its axis spread well, so a bucket holds one or two of them, and the search's
// unpredictable branches cost more than the whole lookup.
class ProjectionBuckets {
  public:
    // Indexes n rising values, value(i) being the i-th.
    template <typename ValueAt>
    void Build(size_t n, const ValueAt& value) {
        count_ = n;
        first_.clear();
        if (n == 0) {
            return;
        }
        low_ = value(0);
        const float high = value(n - 1);
        const size_t buckets = 2 * n;
        scale_ = high > low_ ? static_cast<float>(buckets) / (high - low_) : 0.0f;
        last_ = buckets - 1;
        // Counted, then summed: a walk that fills the buckets between values
        // would pay a mispredicted branch at most of them.
        first_.assign(buckets + 1, 0);
        for (size_t i = 0; i < n; ++i) {
            ++first_[BucketOf(value(i)) + 1];
        }
        for (size_t b = 1; b <= buckets; ++b) {
            first_[b] += first_[b - 1];
        }
    }

    // The number of values below v, as std::lower_bound would give it.
    template <typename ValueAt>
    size_t CountBelow(float v, const ValueAt& value) const {
        if (count_ == 0) {
            return 0;
        }
        // Values in later buckets are all above v, so the walk ends within v's.
        size_t i = first_[BucketOf(v)];
        while (i < count_ && value(i) < v) {
            ++i;
        }
        return i;
    }

  private:
    // Never falls as v rises, which is all the table relies on.
    size_t BucketOf(float v) const {
        const float at = (v - low_) * scale_;
        if (!(at > 0.0f)) {
            return 0;
        }
        if (at >= static_cast<float>(last_)) {
            return last_;
        }
        return static_cast<size_t>(at);
    }

    size_t count_ = 0;
    size_t last_ = 0;
    float low_ = 0.0f;
    float scale_ = 0.0f;
    std::vector<uint32_t> first_;  // the first value of each bucket, then the end
};

}  // namespace quenda
