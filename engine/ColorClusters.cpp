#include "engine/ColorClusters.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>
#include <queue>
#include <utility>

#include "engine/NearestColor.h"

namespace quenda::clusters {

namespace {

// Weighted sums of a set of points: enough for its mean and its squared error.
struct Moments {
    double weight = 0;
    double sum[4] = {};
    double squares[4] = {};

    void Add(const WeightedPoint& p) {
        weight += p.weight;
        for (int a = 0; a < 4; ++a) {
            const double v = p.point.v[a];
            sum[a] += p.weight * v;
            squares[a] += p.weight * v * v;
        }
    }
    Moments Plus(const Moments& other) const {
        Moments both = *this;
        both.weight += other.weight;
        for (int a = 0; a < 4; ++a) {
            both.sum[a] += other.sum[a];
            both.squares[a] += other.squares[a];
        }
        return both;
    }
    Moments Minus(const Moments& part) const {
        Moments rest;
        rest.weight = weight - part.weight;
        for (int a = 0; a < 4; ++a) {
            rest.sum[a] = sum[a] - part.sum[a];
            rest.squares[a] = squares[a] - part.squares[a];
        }
        return rest;
    }
    // The mean of a set that has weight.
    ColorPoint Mean() const {
        ColorPoint mean{};
        for (int a = 0; a < 4; ++a) {
            mean.v[a] = static_cast<float>(sum[a] / weight);
        }
        return mean;
    }
    double Spread(int a) const {
        return weight > 0 ? std::max(0.0, squares[a] - sum[a] * sum[a] / weight) : 0.0;
    }
};

struct Box {
    size_t begin;
    size_t end;
    Moments moments;
    double error;  // weighted squared error of the box around its mean
    int axis;      // the axis of largest spread
};

Box MakeBox(size_t begin, size_t end, const Moments& m) {
    Box box{begin, end, m, 0.0, 0};
    double largest = -1;
    for (int a = 0; a < 4; ++a) {
        const double spread = m.Spread(a);
        box.error += spread;
        if (spread > largest) {
            largest = spread;
            box.axis = a;
        }
    }
    return box;
}

class Cutter {
  public:
    explicit Cutter(const std::vector<WeightedPoint>& points) : points_(points) {
        order_.resize(points.size());
        std::iota(order_.begin(), order_.end(), 0);
    }

    Box Whole() const {
        Moments m;
        for (const WeightedPoint& p : points_) {
            m.Add(p);
        }
        return MakeBox(0, points_.size(), m);
    }

    // Sorts the box along its axis and cuts it where the two parts leave the least
    // error along that axis.
    std::pair<Box, Box> Cut(const Box& box) {
        const int a = box.axis;
        // Coordinates are never negative, so their bits order like their values:
        // one whole-number key per point sorts by value, then by position.
        sorter_.clear();
        for (size_t i = box.begin; i < box.end; ++i) {
            uint32_t bits = 0;
            std::memcpy(&bits, &points_[order_[i]].point.v[a], sizeof bits);
            sorter_.push_back(static_cast<uint64_t>(bits) << 32 | static_cast<uint32_t>(order_[i]));
        }
        std::sort(sorter_.begin(), sorter_.end());
        for (size_t i = box.begin; i < box.end; ++i) {
            order_[i] = static_cast<int32_t>(sorter_[i - box.begin] & 0xFFFFFFFFu);
        }
        const double totalW = box.moments.weight, totalS = box.moments.sum[a];
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
        Moments low;
        for (size_t i = box.begin; i < cut; ++i) {
            low.Add(points_[order_[i]]);
        }
        return {MakeBox(box.begin, cut, low), MakeBox(cut, box.end, box.moments.Minus(low))};
    }

    ColorPoint Mean(const Box& box) const {
        return box.moments.weight > 0 ? box.moments.Mean() : points_[order_[box.begin]].point;
    }

  private:
    const std::vector<WeightedPoint>& points_;
    std::vector<int32_t> order_;
    std::vector<uint64_t> sorter_;
};

}  // namespace

std::vector<ColorPoint> MedianCut(const std::vector<WeightedPoint>& points, size_t count) {
    std::vector<ColorPoint> means;
    if (points.empty() || count == 0) {
        return means;
    }
    Cutter cutter(points);
    // The queue holds each box's error and place, so that its moves stay small.
    std::vector<Box> boxes{cutter.Whole()};
    std::priority_queue<std::pair<double, size_t>> queue;
    queue.push({boxes[0].error, 0});
    size_t done = 0;
    while (!queue.empty() && queue.size() + done < count) {
        const Box box = boxes[queue.top().second];
        const size_t slot = queue.top().second;
        queue.pop();
        if (box.end - box.begin < 2 || box.error <= 0) {
            ++done;
            continue;
        }
        const auto [low, high] = cutter.Cut(box);
        boxes[slot] = low;
        boxes.push_back(high);
        queue.push({low.error, slot});
        queue.push({high.error, boxes.size() - 1});
    }
    means.reserve(boxes.size());
    for (const Box& box : boxes) {
        means.push_back(cutter.Mean(box));
    }
    return means;
}

namespace {

// Per centre, the sums of the points nearest to it.
std::vector<Moments> SumsByNearest(const std::vector<WeightedPoint>& points,
                                   const std::vector<ColorPoint>& centres) {
    std::vector<Moments> sums(centres.size());
    const NearestColor nearest(centres);
    for (const WeightedPoint& p : points) {
        sums[static_cast<size_t>(nearest.Find(p.point))].Add(p);
    }
    return sums;
}

}  // namespace

void Refine(const std::vector<WeightedPoint>& points, std::vector<ColorPoint>& centres,
            size_t fixed, int iterations, bool onGrid) {
    if (centres.size() <= fixed) {
        return;
    }
    for (int it = 0; it < iterations; ++it) {
        const std::vector<Moments> sums = SumsByNearest(points, centres);
        for (size_t c = fixed; c < centres.size(); ++c) {
            const Moments& m = sums[c];
            if (m.weight <= 0) {
                continue;
            }
            centres[c] = m.Mean();
            if (onGrid) {
                centres[c] = PointOfKey(KeyOfPoint(centres[c]));
            }
        }
    }
}

namespace {

// Merging clusters two at a time; each keeps the partner whose merge with it adds
// the least error, brought up to date only when a merge touches it.
class Merger {
  public:
    explicit Merger(std::vector<Moments> clusters)
        : clusters_(std::move(clusters)),
          alive_(clusters_.size(), true),
          partner_(clusters_.size()),
          cost_(clusters_.size()),
          left_(clusters_.size()) {
        for (size_t i = 0; i < clusters_.size(); ++i) {
            FindPartner(i);
        }
    }

    size_t Left() const { return left_; }

    void MergeCheapest() {
        size_t a = clusters_.size();
        for (size_t i = 0; i < clusters_.size(); ++i) {
            if (alive_[i] && (a == clusters_.size() || cost_[i] < cost_[a])) {
                a = i;
            }
        }
        const size_t b = partner_[a];
        clusters_[a] = clusters_[a].Plus(clusters_[b]);
        alive_[b] = false;
        --left_;
        FindPartner(a);
        for (size_t i = 0; i < clusters_.size(); ++i) {
            if (!alive_[i] || i == a) {
                continue;
            }
            if (partner_[i] == a || partner_[i] == b) {
                FindPartner(i);
            } else if (const double c = MergeCost(i, a); c < cost_[i]) {
                partner_[i] = a;
                cost_[i] = c;
            }
        }
    }

    std::vector<ColorPoint> Means() const {
        std::vector<ColorPoint> means;
        for (size_t i = 0; i < clusters_.size(); ++i) {
            if (alive_[i]) {
                means.push_back(clusters_[i].Mean());
            }
        }
        return means;
    }

  private:
    // The error the merge of clusters i and j adds: the product of their weights
    // over their sum, times the squared distance of their means.
    double MergeCost(size_t i, size_t j) const {
        const Moments& a = clusters_[i];
        const Moments& b = clusters_[j];
        double d = 0;
        for (int k = 0; k < 4; ++k) {
            const double x = a.sum[k] / a.weight - b.sum[k] / b.weight;
            d += x * x;
        }
        return a.weight * b.weight / (a.weight + b.weight) * d;
    }

    void FindPartner(size_t i) {
        cost_[i] = std::numeric_limits<double>::max();
        partner_[i] = i;
        for (size_t j = 0; j < clusters_.size(); ++j) {
            if (alive_[j] && j != i) {
                if (const double c = MergeCost(i, j); c < cost_[i]) {
                    cost_[i] = c;
                    partner_[i] = j;
                }
            }
        }
    }

    std::vector<Moments> clusters_;
    std::vector<bool> alive_;
    std::vector<size_t> partner_;
    std::vector<double> cost_;
    size_t left_;
};

}  // namespace

std::vector<ColorPoint> MergeClosest(const std::vector<WeightedPoint>& points,
                                     const std::vector<ColorPoint>& centres, size_t fixed,
                                     size_t count) {
    std::vector<ColorPoint> merged(centres.begin(),
                                   centres.begin() + static_cast<ptrdiff_t>(fixed));
    const std::vector<Moments> sums = SumsByNearest(points, centres);
    // A centre that serves nothing has nothing to merge and is dropped.
    std::vector<Moments> clusters;
    for (size_t c = fixed; c < sums.size(); ++c) {
        if (sums[c].weight > 0) {
            clusters.push_back(sums[c]);
        }
    }
    Merger merger(std::move(clusters));
    while (merger.Left() > std::max<size_t>(count, 1)) {
        merger.MergeCheapest();
    }
    const std::vector<ColorPoint> means = merger.Means();
    merged.insert(merged.end(), means.begin(), means.end());
    return merged;
}

}  // namespace quenda::clusters
