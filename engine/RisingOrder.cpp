#include "engine/RisingOrder.h"

#include <algorithm>

namespace quenda {

namespace {

// Sorts a bucket's few indices; they arrive in index order, which the strict
// comparison keeps for equal keys.
void InsertionSort(const std::vector<float>& keys, uint32_t* first, uint32_t* last) {
    for (uint32_t* i = first + 1; i < last; ++i) {
        const uint32_t moving = *i;
        uint32_t* j = i;
        for (; j > first && keys[*(j - 1)] > keys[moving]; --j) {
            *j = *(j - 1);
        }
        *j = moving;
    }
}

}  // namespace

std::vector<uint32_t> RisingOrder(const std::vector<float>& keys) {
    const size_t count = keys.size();
    std::vector<uint32_t> order(count);
    if (count == 0) {
        return order;
    }
    const auto [low, high] = std::minmax_element(keys.begin(), keys.end());
    const float scale = *high > *low ? static_cast<float>(count - 1) / (*high - *low) : 0.0f;
    std::vector<uint32_t> bucket(count);
    std::vector<uint32_t> starts(count + 1, 0);
    for (size_t i = 0; i < count; ++i) {
        bucket[i] = static_cast<uint32_t>(
            std::min(static_cast<size_t>((keys[i] - *low) * scale), count - 1));
        ++starts[bucket[i] + 1];
    }
    for (size_t b = 1; b <= count; ++b) {
        starts[b] += starts[b - 1];
    }
    std::vector<uint32_t> next(starts.begin(), starts.end() - 1);
    for (uint32_t i = 0; i < count; ++i) {
        order[next[bucket[i]]++] = i;
    }
    constexpr uint32_t kFew = 16;
    const auto rising = [&](uint32_t x, uint32_t y) {
        return keys[x] < keys[y] || (keys[x] == keys[y] && x < y);
    };
    for (size_t b = 0; b < count; ++b) {
        uint32_t* first = order.data() + starts[b];
        uint32_t* last = order.data() + starts[b + 1];
        if (last - first > kFew) {
            std::sort(first, last, rising);
        } else if (last - first > 1) {
            InsertionSort(keys, first, last);
        }
    }
    return order;
}

}  // namespace quenda
