#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "engine/ProjectionBuckets.h"

namespace {

// The bucket table finds the same place as a binary search, for the values
// themselves, between and beyond them, whether they spread, repeat, all agree,
// crowd beside a far outlier, or span less than a float's step.
TEST(ProjectionBuckets, CountsAsALowerBound) {
    std::mt19937 random(5);
    std::uniform_real_distribution<float> spread(-440.0f, 440.0f);
    std::vector<std::vector<float>> cases{{}, {1.5f}, {2.0f, 2.0f, 2.0f}, {0.0f, 1e-40f}};
    std::vector<float> spreading(251), repeating(251), crowded(251);
    for (size_t i = 0; i < 251; ++i) {
        spreading[i] = spread(random);
        repeating[i] = std::floor(spread(random) / 200.0f);
        crowded[i] = 1.0f + spread(random) * 1e-4f;
    }
    crowded[17] = 1e6f;
    cases.insert(cases.end(), {spreading, repeating, crowded});
    for (std::vector<float>& values : cases) {
        std::sort(values.begin(), values.end());
        quenda::ProjectionBuckets buckets;
        const auto at = [&](size_t i) { return values[i]; };
        buckets.Build(values.size(), at);
        std::vector<float> queries{-1e9f, 1e9f, 0.0f};
        for (const float v : values) {
            queries.insert(queries.end(), {v, std::nextafter(v, -1e9f), v + 0.5f});
        }
        for (const float q : queries) {
            const auto expected = static_cast<size_t>(
                std::lower_bound(values.begin(), values.end(), q) - values.begin());
            ASSERT_EQ(buckets.CountBelow(q, at), expected) << q << " among " << values.size();
        }
    }
}

}  // namespace
