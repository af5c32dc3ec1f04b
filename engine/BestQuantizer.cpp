#include "engine/BestQuantizer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>

#include "engine/ColorClusters.h"
#include "engine/ColorPoint.h"
#include "engine/NearestColor.h"
#include "engine/modColor.h"
#include "imaging/PixelMath.h"
#include "imaging/c32bppDIB.h"

namespace quenda {

namespace {

constexpr int kRefineIterations = 12;
constexpr int kGridIterations = 4;
// Cutting into half as many boxes again and merging the closest back finds better
// palettes than cutting into as many: the merges undo the cuts that served least.
constexpr size_t kMostExtraBoxes = 512;

// The straight colour of a stored (premultiplied BGRA) pixel as red, green, blue.
std::array<float, 3> StraightColor(const uint8_t* p) {
    return {static_cast<float>(Unpremultiply(p[2], p[3])),
            static_cast<float>(Unpremultiply(p[1], p[3])),
            static_cast<float>(Unpremultiply(p[0], p[3]))};
}

const uint8_t* PixelAt(const c32bppDIB& image, int32_t x, int32_t y) {
    return image.BitsPointer() + image.PixelOffset(x, y);
}

// The distinct source colours of the picture's visible pixels (each with its
// opacity level), weighted by how many pixels show them, and which one each pixel
// shows (-1 for the transparent entry). Clustering these rather than the
// RGB565-rounded entries lets pixels of one rounded colour go to different
// entries: at a few hundred colours the clusters are no wider than a rounding step.
struct SourceColors {
    std::vector<WeightedPoint> points;
    std::vector<int32_t> of;
    std::vector<int32_t> entryOf;  // the palette entry of each distinct colour

    // Each palette entry's pixels as one point at their mean: far fewer points,
    // for the first rounds of clustering.
    std::vector<WeightedPoint> EntryMeans(size_t entries) const {
        std::vector<std::array<double, 5>> sums(entries);
        for (size_t i = 0; i < points.size(); ++i) {
            std::array<double, 5>& m = sums[static_cast<size_t>(entryOf[i])];
            for (int a = 0; a < 4; ++a) {
                m[a] += static_cast<double>(points[i].weight) * points[i].point.v[a];
            }
            m[4] += points[i].weight;
        }
        std::vector<WeightedPoint> means;
        for (size_t e = 1; e < entries; ++e) {
            const std::array<double, 5>& m = sums[e];
            if (m[4] > 0) {
                means.push_back(
                    {{{static_cast<float>(m[0] / m[4]), static_cast<float>(m[1] / m[4]),
                       static_cast<float>(m[2] / m[4]), static_cast<float>(m[3] / m[4])}},
                     static_cast<float>(m[4])});
            }
        }
        return means;
    }
};

SourceColors CollectSourceColors(const c32bppDIB& image, const std::vector<PaletteKey>& palette,
                                 const std::vector<int32_t>& pixels, bool opaque) {
    SourceColors s;
    s.of.resize(pixels.size(), -1);
    std::unordered_map<uint32_t, int32_t> index;
    index.reserve(1 << 16);
    std::vector<uint32_t> counts;
    std::vector<uint32_t> keys;
    const int32_t width = image.Width(), height = image.Height();
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* p = PixelAt(image, 0, y);
        const size_t rowStart = static_cast<size_t>(y) * width;
        for (int32_t x = 0; x < width; ++x, p += 4) {
            const int32_t entry = pixels[rowStart + x];
            if (entry == 0 && !opaque) {
                continue;
            }
            const std::array<float, 3> c = StraightColor(p);
            const uint32_t key = static_cast<uint32_t>(c[0]) | static_cast<uint32_t>(c[1]) << 8 |
                                 static_cast<uint32_t>(c[2]) << 16 |
                                 static_cast<uint32_t>(KeyAlpha(palette[entry])) << 24;
            const auto [it, added] = index.try_emplace(key, static_cast<int32_t>(keys.size()));
            if (added) {
                keys.push_back(key);
                counts.push_back(0);
                s.entryOf.push_back(entry);
            }
            ++counts[static_cast<size_t>(it->second)];
            s.of[rowStart + x] = it->second;
        }
    }
    s.points.reserve(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        const uint32_t k = keys[i];
        const auto alpha = static_cast<uint8_t>(k >> 24);
        s.points.push_back(
            {PointOf(static_cast<float>(k & 0xFF), static_cast<float>((k >> 8) & 0xFF),
                     static_cast<float>((k >> 16) & 0xFF), alpha),
             static_cast<float>(counts[i]) * OpacityWeight(alpha)});
    }
    return s;
}

// The reduced palette: the transparent entry, then each centre's entry once.
std::vector<PaletteKey> EntriesOf(PaletteKey transparent, const std::vector<ColorPoint>& centres,
                                  size_t fixed) {
    std::vector<PaletteKey> entries{transparent};
    for (size_t c = fixed; c < centres.size(); ++c) {
        const PaletteKey key = KeyOfPoint(centres[c]);
        if (std::find(entries.begin(), entries.end(), key) == entries.end()) {
            entries.push_back(key);
        }
    }
    return entries;
}

// Floyd-Steinberg over the source colours, serpentine; transparent pixels neither
// take nor pass on error.
void Diffuse(const c32bppDIB& image, const std::vector<PaletteKey>& entries,
             const NearestColor& nearest, std::vector<int32_t>& pixels) {
    const int32_t width = image.Width(), height = image.Height();
    std::vector<ColorPoint> entryRgb(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const uint32_t c = RGB565ToRGB(KeyColor(entries[i]));
        entryRgb[i] = {{static_cast<float>(c & 0xFF), static_cast<float>((c >> 8) & 0xFF),
                        static_cast<float>((c >> 16) & 0xFF), 0}};
    }
    std::vector<std::array<float, 3>> current(static_cast<size_t>(width) + 2),
        next(static_cast<size_t>(width) + 2);
    for (int32_t y = 0; y < height; ++y) {
        std::fill(next.begin(), next.end(), std::array<float, 3>{});
        const bool leftToRight = y % 2 == 0;
        const int step = leftToRight ? 1 : -1;
        int32_t* row = pixels.data() + static_cast<size_t>(y) * width;
        for (int32_t i = 0; i < width; ++i) {
            const int32_t x = leftToRight ? i : width - 1 - i;
            if (row[x] == 0) {
                continue;
            }
            const std::array<float, 3> source = StraightColor(PixelAt(image, x, y));
            std::array<float, 3> wanted{};
            for (int c = 0; c < 3; ++c) {
                wanted[c] = std::clamp(source[c] + current[x + 1][c], 0.0f, 255.0f);
            }
            const auto alpha = static_cast<uint8_t>(row[x] - 1);
            const int32_t chosen = nearest.Find(PointOf(wanted[0], wanted[1], wanted[2], alpha));
            row[x] = chosen;
            for (int c = 0; c < 3; ++c) {
                const float error = wanted[c] - entryRgb[static_cast<size_t>(chosen)].v[c];
                current[x + 1 + step][c] += error * 7.0f / 16.0f;
                next[x + 1 - step][c] += error * 3.0f / 16.0f;
                next[x + 1][c] += error * 5.0f / 16.0f;
                next[x + 1 + step][c] += error * 1.0f / 16.0f;
            }
        }
        current.swap(next);
    }
}

}  // namespace

void BestQuantizer::Run(const c32bppDIB& image, std::vector<PaletteKey>& palette,
                        std::vector<int32_t>& pixels, int32_t colors, bool dither) {
    if (colors < 1 || palette.size() <= static_cast<size_t>(colors) + 1) {
        return;
    }
    // Entry 0 is black in an opaque image and serves its pixels like any colour.
    const bool opaque = KeyAlpha(palette[0]) != 0;
    const SourceColors source = CollectSourceColors(image, palette, pixels, opaque);
    std::vector<ColorPoint> centres;
    if (opaque) {
        centres.push_back(PointOfKey(palette[0]));
    }
    const size_t fixed = centres.size();
    const std::vector<WeightedPoint> means = source.EntryMeans(palette.size());
    const auto count = static_cast<size_t>(colors);
    const size_t extra = std::min(count / 2, kMostExtraBoxes);
    const std::vector<ColorPoint> cut = clusters::MedianCut(means, count + extra);
    centres.insert(centres.end(), cut.begin(), cut.end());
    clusters::Refine(means, centres, fixed, kRefineIterations);
    centres = clusters::MergeClosest(means, centres, fixed, count);
    clusters::Refine(means, centres, fixed, kRefineIterations);
    clusters::Refine(source.points, centres, fixed, kGridIterations, true);

    const std::vector<PaletteKey> entries = EntriesOf(palette[0], centres, fixed);
    std::vector<ColorPoint> entryPoints;
    for (const PaletteKey key : entries) {
        entryPoints.push_back(PointOfKey(key));
    }
    const NearestColor nearest(entryPoints);
    if (dither) {
        // The pixels carry their opacity level while they wait for their entry.
        for (int32_t& p : pixels) {
            p = p == 0 ? 0 : static_cast<int32_t>(KeyAlpha(palette[static_cast<size_t>(p)])) + 1;
        }
        Diffuse(image, entries, nearest, pixels);
    } else {
        std::vector<int32_t> moved(source.points.size(), 0);
        for (size_t i = 0; i < moved.size(); ++i) {
            moved[i] = nearest.Find(source.points[i].point);
        }
        for (size_t i = 0; i < pixels.size(); ++i) {
            pixels[i] = source.of[i] < 0 ? 0 : moved[static_cast<size_t>(source.of[i])];
        }
    }
    palette = entries;
}

}  // namespace quenda
