#include "engine/NearestColor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace quenda {

namespace {

// The principal axis of the points' colours (power iteration on their
// covariance), or the first axis when they do not spread.
void PrincipalAxis(const std::vector<ColorPoint>& points, float axis[3]) {
    double mean[3] = {}, cov[3][3] = {};
    for (const ColorPoint& p : points) {
        for (int a = 0; a < 3; ++a) {
            mean[a] += p.v[a];
        }
    }
    for (double& m : mean) {
        m /= static_cast<double>(points.size());
    }
    for (const ColorPoint& p : points) {
        for (int a = 0; a < 3; ++a) {
            for (int b = 0; b < 3; ++b) {
                cov[a][b] += (p.v[a] - mean[a]) * (p.v[b] - mean[b]);
            }
        }
    }
    double v[3] = {0.58, 0.58, 0.58};
    for (int it = 0; it < 8; ++it) {
        double next[3] = {}, norm = 0;
        for (int a = 0; a < 3; ++a) {
            for (int b = 0; b < 3; ++b) {
                next[a] += cov[a][b] * v[b];
            }
            norm += next[a] * next[a];
        }
        norm = std::sqrt(norm);
        if (!(norm > 0)) {
            axis[0] = 1;
            axis[1] = axis[2] = 0;
            return;
        }
        for (int a = 0; a < 3; ++a) {
            v[a] = next[a] / norm;
        }
    }
    for (int a = 0; a < 3; ++a) {
        axis[a] = static_cast<float>(v[a]);
    }
}

// The bits of a float turned so that they order as the values do.
uint64_t OrderedBits(float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
}

}  // namespace

void NearestColor::Build(const std::vector<ColorPoint>& points) {
    groups_.clear();
    // By opacity, then by position: each run of one opacity is a group.
    std::vector<std::pair<float, int32_t>> byOpacity(points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        byOpacity[i] = {points[i].v[3], static_cast<int32_t>(i)};
    }
    // Opaque pictures give one opacity: already in order.
    if (std::any_of(byOpacity.begin(), byOpacity.end(),
                    [&](const auto& p) { return p.first != byOpacity.front().first; })) {
        std::sort(byOpacity.begin(), byOpacity.end());
    }
    std::vector<ColorPoint> own;
    std::vector<uint64_t> order;
    for (size_t first = 0; first < byOpacity.size();) {
        size_t last = first;
        while (last < byOpacity.size() && byOpacity[last].first == byOpacity[first].first) {
            ++last;
        }
        Group g{byOpacity[first].first, {1, 0, 0}, {}, {}, {}};
        own.clear();
        for (size_t k = first; k < last; ++k) {
            own.push_back(points[static_cast<size_t>(byOpacity[k].second)]);
        }
        PrincipalAxis(own, g.axis);
        order.clear();
        for (size_t k = first; k < last; ++k) {
            const int32_t i = byOpacity[k].second;
            order.push_back(OrderedBits(g.Project(points[static_cast<size_t>(i)])) << 32 |
                            static_cast<uint32_t>(i));
        }
        // One whole-number key per point sorts by projection, then by position.
        std::sort(order.begin(), order.end());
        g.projected.reserve(order.size());
        g.sorted.reserve(order.size());
        g.original.reserve(order.size());
        for (const uint64_t key : order) {
            const auto index = static_cast<int32_t>(key & 0xFFFFFFFFu);
            g.projected.push_back(g.Project(points[static_cast<size_t>(index)]));
            g.sorted.push_back(points[static_cast<size_t>(index)]);
            g.original.push_back(index);
        }
        groups_.push_back(std::move(g));
        first = last;
    }
}

void NearestColor::Group::Search(const ColorPoint& p, float& best, int32_t& bestIndex) const {
    const auto n = static_cast<ptrdiff_t>(sorted.size());
    const float q = Project(p);
    const ptrdiff_t start =
        std::lower_bound(projected.begin(), projected.end(), q) - projected.begin();
    ptrdiff_t up = start, down = start - 1;
    bool goUp = up < n, goDown = down >= 0;
    // The distance along a unit axis never exceeds the distance itself.
    const float da = p.v[3] - opacity, base = da * da;
    while (goUp || goDown) {
        if (goUp) {
            const float d = projected[up] - q;
            if (base + d * d >= best) {
                goUp = false;
            } else {
                const float full = Distance2(sorted[up], p);
                if (full < best) {
                    best = full;
                    bestIndex = original[up];
                }
                goUp = ++up < n;
            }
        }
        if (goDown) {
            const float d = q - projected[down];
            if (base + d * d >= best) {
                goDown = false;
            } else {
                const float full = Distance2(sorted[down], p);
                if (full < best) {
                    best = full;
                    bestIndex = original[down];
                }
                goDown = --down >= 0;
            }
        }
    }
}

int32_t NearestColor::Find(const ColorPoint& p) const {
    if (groups_.empty()) {
        return -1;
    }
    float best = std::numeric_limits<float>::max();
    int32_t bestIndex = groups_.front().original.front();
    // Groups outward from the query's opacity, while their opacity alone is nearer.
    const auto at = std::lower_bound(groups_.begin(), groups_.end(), p.v[3],
                                     [](const Group& g, float v) { return g.opacity < v; });
    auto up = at;
    auto down = at;
    while (up != groups_.end() || down != groups_.begin()) {
        const float upGap =
            up != groups_.end() ? up->opacity - p.v[3] : std::numeric_limits<float>::max();
        const float downGap = down != groups_.begin() ? p.v[3] - std::prev(down)->opacity
                                                      : std::numeric_limits<float>::max();
        const bool takeUp = upGap <= downGap;
        const float gap = takeUp ? upGap : downGap;
        if (gap * gap >= best) {
            break;
        }
        if (takeUp) {
            up->Search(p, best, bestIndex);
            ++up;
        } else {
            --down;
            down->Search(p, best, bestIndex);
        }
    }
    return bestIndex;
}

}  // namespace quenda
