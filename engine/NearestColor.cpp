#include "engine/NearestColor.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace quenda {

namespace {

// The principal axis of the points (power iteration on their covariance), or the
// first axis when they do not spread.
void PrincipalAxis(const std::vector<ColorPoint>& points, float axis[4]) {
    double mean[4] = {}, cov[4][4] = {};
    for (const ColorPoint& p : points) {
        for (int a = 0; a < 4; ++a) {
            mean[a] += p.v[a];
        }
    }
    for (double& m : mean) {
        m /= static_cast<double>(points.size());
    }
    for (const ColorPoint& p : points) {
        for (int a = 0; a < 4; ++a) {
            for (int b = 0; b < 4; ++b) {
                cov[a][b] += (p.v[a] - mean[a]) * (p.v[b] - mean[b]);
            }
        }
    }
    double v[4] = {0.58, 0.58, 0.58, 0.1};
    for (int it = 0; it < 8; ++it) {
        double next[4] = {}, norm = 0;
        for (int a = 0; a < 4; ++a) {
            for (int b = 0; b < 4; ++b) {
                next[a] += cov[a][b] * v[b];
            }
            norm += next[a] * next[a];
        }
        norm = std::sqrt(norm);
        if (!(norm > 0)) {
            axis[0] = 1;
            axis[1] = axis[2] = axis[3] = 0;
            return;
        }
        for (int a = 0; a < 4; ++a) {
            v[a] = next[a] / norm;
        }
    }
    for (int a = 0; a < 4; ++a) {
        axis[a] = static_cast<float>(v[a]);
    }
}

}  // namespace

void NearestColor::Build(const std::vector<ColorPoint>& points) {
    sorted_.clear();
    projected_.clear();
    original_.clear();
    if (points.empty()) {
        return;
    }
    PrincipalAxis(points, axis_);
    std::vector<std::pair<float, int32_t>> order(points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        order[i] = {Project(points[i]), static_cast<int32_t>(i)};
    }
    std::sort(order.begin(), order.end());
    for (const auto& [projection, index] : order) {
        projected_.push_back(projection);
        sorted_.push_back(points[static_cast<size_t>(index)]);
        original_.push_back(index);
    }
}

int32_t NearestColor::Find(const ColorPoint& p) const {
    if (sorted_.empty()) {
        return -1;
    }
    const auto n = static_cast<ptrdiff_t>(sorted_.size());
    const float q = Project(p);
    const ptrdiff_t start =
        std::lower_bound(projected_.begin(), projected_.end(), q) - projected_.begin();
    float best = std::numeric_limits<float>::max();
    ptrdiff_t bestIndex = 0;
    ptrdiff_t up = start, down = start - 1;
    bool goUp = up < n, goDown = down >= 0;
    // The distance along a unit axis never exceeds the distance itself.
    while (goUp || goDown) {
        if (goUp) {
            const float d = projected_[up] - q;
            if (d * d >= best) {
                goUp = false;
            } else {
                const float full = Distance2(sorted_[up], p);
                if (full < best) {
                    best = full;
                    bestIndex = up;
                }
                goUp = ++up < n;
            }
        }
        if (goDown) {
            const float d = q - projected_[down];
            if (d * d >= best) {
                goDown = false;
            } else {
                const float full = Distance2(sorted_[down], p);
                if (full < best) {
                    best = full;
                    bestIndex = down;
                }
                goDown = --down >= 0;
            }
        }
    }
    return original_[bestIndex];
}

}  // namespace quenda
