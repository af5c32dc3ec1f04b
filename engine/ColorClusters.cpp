#include "engine/ColorClusters.h"

#include <algorithm>
#include <numeric>
#include <queue>

#include "engine/NearestColor.h"

namespace quenda::clusters {

namespace {

struct Box {
    size_t begin;
    size_t end;
    double error;  // weighted squared error of the box around its mean
    int axis;      // the axis of largest spread
};

struct LargerErrorFirst {
    bool operator()(const Box& a, const Box& b) const { return a.error < b.error; }
};

class Cutter {
  public:
    explicit Cutter(const std::vector<WeightedPoint>& points) : points_(points) {
        order_.resize(points.size());
        std::iota(order_.begin(), order_.end(), 0);
    }

    Box Measure(size_t begin, size_t end) const {
        double w = 0, sum[4] = {}, squares[4] = {};
        for (size_t i = begin; i < end; ++i) {
            const WeightedPoint& p = points_[order_[i]];
            w += p.weight;
            for (int a = 0; a < 4; ++a) {
                sum[a] += p.weight * p.point.v[a];
                squares[a] += p.weight * p.point.v[a] * p.point.v[a];
            }
        }
        Box box{begin, end, 0.0, 0};
        double largest = -1;
        for (int a = 0; a < 4; ++a) {
            const double spread = w > 0 ? squares[a] - sum[a] * sum[a] / w : 0.0;
            box.error += std::max(0.0, spread);
            if (spread > largest) {
                largest = spread;
                box.axis = a;
            }
        }
        return box;
    }

    // Sorts the box along its axis and returns the cut that leaves the least error
    // on that axis; begin < cut < end.
    size_t Cut(const Box& box) {
        const int a = box.axis;
        std::sort(order_.begin() + box.begin, order_.begin() + box.end, [&](int32_t x, int32_t y) {
            return points_[x].point.v[a] < points_[y].point.v[a];
        });
        double totalW = 0, totalS = 0;
        for (size_t i = box.begin; i < box.end; ++i) {
            const WeightedPoint& p = points_[order_[i]];
            totalW += p.weight;
            totalS += p.weight * p.point.v[a];
        }
        double w = 0, s = 0, best = -1;
        size_t cut = box.begin + 1;
        for (size_t i = box.begin; i + 1 < box.end; ++i) {
            const WeightedPoint& p = points_[order_[i]];
            w += p.weight;
            s += p.weight * p.point.v[a];
            const double rw = totalW - w, rs = totalS - s;
            // Maximising the between-part spread minimises the error left.
            const double gain = (w > 0 ? s * s / w : 0) + (rw > 0 ? rs * rs / rw : 0);
            if (gain > best) {
                best = gain;
                cut = i + 1;
            }
        }
        return cut;
    }

    ColorPoint Mean(const Box& box) const {
        double w = 0, sum[4] = {};
        for (size_t i = box.begin; i < box.end; ++i) {
            const WeightedPoint& p = points_[order_[i]];
            w += p.weight;
            for (int a = 0; a < 4; ++a) {
                sum[a] += p.weight * p.point.v[a];
            }
        }
        ColorPoint mean{};
        const WeightedPoint& first = points_[order_[box.begin]];
        for (int a = 0; a < 4; ++a) {
            mean.v[a] = w > 0 ? static_cast<float>(sum[a] / w) : first.point.v[a];
        }
        return mean;
    }

  private:
    const std::vector<WeightedPoint>& points_;
    std::vector<int32_t> order_;
};

}  // namespace

std::vector<ColorPoint> MedianCut(const std::vector<WeightedPoint>& points, size_t count) {
    std::vector<ColorPoint> means;
    if (points.empty() || count == 0) {
        return means;
    }
    Cutter cutter(points);
    std::priority_queue<Box, std::vector<Box>, LargerErrorFirst> boxes;
    boxes.push(cutter.Measure(0, points.size()));
    std::vector<Box> done;
    while (!boxes.empty() && boxes.size() + done.size() < count) {
        const Box box = boxes.top();
        boxes.pop();
        if (box.end - box.begin < 2 || box.error <= 0) {
            done.push_back(box);
            continue;
        }
        const size_t cut = cutter.Cut(box);
        boxes.push(cutter.Measure(box.begin, cut));
        boxes.push(cutter.Measure(cut, box.end));
    }
    while (!boxes.empty()) {
        done.push_back(boxes.top());
        boxes.pop();
    }
    means.reserve(done.size());
    for (const Box& box : done) {
        means.push_back(cutter.Mean(box));
    }
    return means;
}

void Refine(const std::vector<WeightedPoint>& points, std::vector<ColorPoint>& centres,
            size_t fixed, int iterations, bool onGrid) {
    if (centres.size() <= fixed) {
        return;
    }
    std::vector<double> sums(centres.size() * 5);
    for (int it = 0; it < iterations; ++it) {
        const NearestColor nearest(centres);
        std::fill(sums.begin(), sums.end(), 0.0);
        for (const WeightedPoint& p : points) {
            double* s = &sums[static_cast<size_t>(nearest.Find(p.point)) * 5];
            s[4] += p.weight;
            for (int a = 0; a < 4; ++a) {
                s[a] += p.weight * p.point.v[a];
            }
        }
        for (size_t c = fixed; c < centres.size(); ++c) {
            const double* s = &sums[c * 5];
            if (s[4] > 0) {
                for (int a = 0; a < 4; ++a) {
                    centres[c].v[a] = static_cast<float>(s[a] / s[4]);
                }
                if (onGrid) {
                    centres[c] = PointOfKey(KeyOfPoint(centres[c]));
                }
            }
        }
    }
}

}  // namespace quenda::clusters
