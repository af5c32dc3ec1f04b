#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "engine/WindowIndex.h"

namespace {

using quenda::ColorPoint;
using quenda::Distance2;
using quenda::PointOf;
using quenda::WindowIndex;

// As the window moves on by uneven steps over a growing palette of colours at
// two opacities, every search finds a point as near as the nearest in the window.
TEST(WindowIndex, FindsTheNearestInTheWindowAsItMovesOn) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> channel(0.0f, 255.0f);
    std::uniform_int_distribution<int> step(0, 90);
    std::vector<ColorPoint> points;
    WindowIndex index;
    int32_t start = 0;
    for (int row = 0; row < 60; ++row) {
        for (int added = step(random); added > 0; --added) {
            points.push_back(PointOf(channel(random), channel(random), channel(random),
                                     random() % 2 == 0 ? 32 : 20));
        }
        start = std::max(start, static_cast<int32_t>(points.size()) - 251);
        index.MoveTo(points, start);
        for (int query = 0; query < 20; ++query) {
            const ColorPoint p = PointOf(channel(random), channel(random), channel(random), 32);
            float nearest = std::numeric_limits<float>::max();
            for (size_t i = static_cast<size_t>(start); i < points.size(); ++i) {
                nearest = std::min(nearest, Distance2(p, points[i]));
            }
            const int32_t found = index.Find(p);
            if (static_cast<size_t>(start) == points.size()) {
                EXPECT_EQ(found, -1);
                continue;
            }
            ASSERT_GE(found, start);
            ASSERT_LT(static_cast<size_t>(found), points.size());
            EXPECT_EQ(Distance2(p, points[static_cast<size_t>(found)]), nearest);
        }
    }
}

}  // namespace
