#include "engine/BestQuantizer.h"

#include <algorithm>
#include <array>
#include <cmath>

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

// The straight colour of a stored (premultiplied BGRA) pixel as red, green, blue.
std::array<float, 3> StraightColor(const uint8_t* p) {
    return {static_cast<float>(Unpremultiply(p[2], p[3])),
            static_cast<float>(Unpremultiply(p[1], p[3])),
            static_cast<float>(Unpremultiply(p[0], p[3]))};
}

const uint8_t* PixelAt(const c32bppDIB& image, int32_t x, int32_t y) {
    return image.BitsPointer() + image.PixelOffset(x, y);
}

// Every colour of the palette as the mean of its pixels' source colours.
std::vector<WeightedPoint> SourceColors(const c32bppDIB& image,
                                        const std::vector<PaletteKey>& palette,
                                        const std::vector<int32_t>& pixels) {
    std::vector<std::array<double, 4>> sums(palette.size());
    const int32_t width = image.Width(), height = image.Height();
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* p = PixelAt(image, 0, y);
        const int32_t* row = pixels.data() + static_cast<size_t>(y) * width;
        for (int32_t x = 0; x < width; ++x, p += 4) {
            const std::array<float, 3> c = StraightColor(p);
            std::array<double, 4>& s = sums[static_cast<size_t>(row[x])];
            s[0] += c[0];
            s[1] += c[1];
            s[2] += c[2];
            s[3] += 1;
        }
    }
    std::vector<WeightedPoint> points(palette.size());
    for (size_t i = 0; i < palette.size(); ++i) {
        const std::array<double, 4>& s = sums[i];
        const double n = std::max(s[3], 1.0);
        const uint8_t alpha = KeyAlpha(palette[i]);
        points[i] = {PointOf(static_cast<float>(s[0] / n), static_cast<float>(s[1] / n),
                             static_cast<float>(s[2] / n), alpha),
                     static_cast<float>(s[3]) * OpacityWeight(alpha)};
    }
    return points;
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
    const std::vector<WeightedPoint> points = SourceColors(image, palette, pixels);
    // Entry 0 is black in an opaque image and serves its pixels like any colour.
    const bool opaque = KeyAlpha(palette[0]) != 0;
    std::vector<ColorPoint> centres;
    if (opaque) {
        centres.push_back(PointOfKey(palette[0]));
    }
    const size_t fixed = centres.size();
    const std::vector<WeightedPoint> colored(points.begin() + 1, points.end());
    const std::vector<ColorPoint> cut = clusters::MedianCut(colored, static_cast<size_t>(colors));
    centres.insert(centres.end(), cut.begin(), cut.end());
    clusters::Refine(colored, centres, fixed, kRefineIterations);
    clusters::Refine(colored, centres, fixed, kGridIterations, true);

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
        std::vector<int32_t> moved(palette.size(), 0);
        for (size_t i = 1; i < palette.size(); ++i) {
            moved[i] = nearest.Find(points[i].point);
        }
        for (int32_t& p : pixels) {
            p = moved[static_cast<size_t>(p)];
        }
    }
    palette = entries;
}

}  // namespace quenda
