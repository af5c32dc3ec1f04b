#include "engine/RisingOrder.h"

#include <algorithm>

namespace quenda {

std::vector<uint32_t> RisingOrder(const std::vector<float>& keys) {
    std::vector<uint32_t> order(keys.size());
    if (keys.empty()) {
        return order;
    }
    const auto [low, high] = std::minmax_element(keys.begin(), keys.end());
    const size_t buckets = keys.size();
    const float scale = *high > *low ? static_cast<float>(buckets - 1) / (*high - *low) : 0.0f;
    const auto bucketOf = [&](float key) {
        return std::min(static_cast<size_t>((key - *low) * scale), buckets - 1);
    };
    std::vector<uint32_t> starts(buckets + 1, 0);
    for (const float key : keys) {
        ++starts[bucketOf(key) + 1];
    }
    for (size_t b = 1; b <= buckets; ++b) {
        starts[b] += starts[b - 1];
    }
    std::vector<uint32_t> next(starts.begin(), starts.end() - 1);
    for (uint32_t i = 0; i < keys.size(); ++i) {
        order[next[bucketOf(keys[i])]++] = i;
    }
    const auto rising = [&](uint32_t x, uint32_t y) {
        return keys[x] < keys[y] || (keys[x] == keys[y] && x < y);
    };
    for (size_t b = 0; b < buckets; ++b) {
        if (starts[b + 1] - starts[b] > 1) {
            std::sort(order.begin() + starts[b], order.begin() + starts[b + 1], rising);
        }
    }
    return order;
}

}  // namespace quenda
