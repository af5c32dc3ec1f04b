#include <gtest/gtest.h>

#include <algorithm>

#include "engine/ColorClusters.h"

namespace {

using quenda::ColorPoint;
using quenda::PointOf;
using quenda::WeightedPoint;
using quenda::clusters::MergeClosest;

// Three tight groups, one cut in two and one in three: the merges join the parts
// of each group back, never two groups, and the fixed centre stays first.
TEST(ColorClusters, MergingJoinsTheClosestClustersFirst) {
    const std::vector<WeightedPoint> points{
        {PointOf(10, 10, 10, 32), 1},  {PointOf(12, 10, 10, 32), 1},
        {PointOf(200, 10, 10, 32), 2}, {PointOf(204, 10, 10, 32), 2},
        {PointOf(208, 10, 10, 32), 4}, {PointOf(10, 200, 200, 32), 3}};
    const std::vector<ColorPoint> centres{PointOf(0, 0, 0, 32),  // fixed
                                          PointOf(10, 10, 10, 32),  PointOf(12, 10, 10, 32),
                                          PointOf(200, 10, 10, 32), PointOf(204, 10, 10, 32),
                                          PointOf(208, 10, 10, 32), PointOf(10, 200, 200, 32)};
    const std::vector<ColorPoint> merged = MergeClosest(points, centres, 1, 3);
    ASSERT_EQ(merged.size(), 4u);
    EXPECT_EQ(merged[0].v[0], 0.0f);
    std::vector<float> reds;
    for (size_t i = 1; i < merged.size(); ++i) {
        reds.push_back(merged[i].v[0]);
    }
    std::sort(reds.begin(), reds.end());
    EXPECT_FLOAT_EQ(reds[0], 10.0f);   // the blue-green group
    EXPECT_FLOAT_EQ(reds[1], 11.0f);   // the dark pair's mean
    EXPECT_FLOAT_EQ(reds[2], 205.0f);  // the red group's weighted mean
}

}  // namespace
