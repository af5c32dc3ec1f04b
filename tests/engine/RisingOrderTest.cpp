#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "engine/RisingOrder.h"

namespace {

// The bucket order agrees with a stable sort of the indices, whether the keys
// spread, repeat, all agree, or crowd into one bucket beside a far outlier.
TEST(RisingOrder, AgreesWithAStableSort) {
    std::mt19937 random(3);
    std::uniform_real_distribution<float> spread(-440.0f, 440.0f);
    std::uniform_int_distribution<int> few(0, 5);
    std::vector<std::vector<float>> cases{{}, {1.5f}, {2.0f, 2.0f, 2.0f}};
    std::vector<float> spreading(300), repeating(300), crowded(300);
    for (size_t i = 0; i < 300; ++i) {
        spreading[i] = spread(random);
        repeating[i] = static_cast<float>(few(random));
        crowded[i] = 1.0f + spread(random) * 1e-4f;
    }
    crowded[17] = 1e6f;
    cases.insert(cases.end(), {spreading, repeating, crowded});
    for (const std::vector<float>& keys : cases) {
        std::vector<uint32_t> expected(keys.size());
        std::iota(expected.begin(), expected.end(), 0u);
        std::stable_sort(expected.begin(), expected.end(),
                         [&](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
        EXPECT_EQ(quenda::RisingOrder(keys), expected) << keys.size() << " keys";
    }
}

}  // namespace
