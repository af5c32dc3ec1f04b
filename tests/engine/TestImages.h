#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "imaging/c32bppDIB.h"

namespace enginetest {

struct Pixel {
    uint32_t color;  // 0x00BBGGRR, straight
    uint8_t alpha;
};

// An image whose pixel (x, y) is given by `at`.
inline std::unique_ptr<quenda::c32bppDIB> MakeImage(int32_t width, int32_t height, bool alpha,
                                                    const std::function<Pixel(int, int)>& at) {
    auto image = std::make_unique<quenda::c32bppDIB>();
    image->InitializeDIB(width, height);
    image->setAlpha(alpha);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const Pixel p = at(x, y);
            image->SetPixel(x, y, p.color, p.alpha, false);
        }
    }
    return image;
}

inline uint32_t Rgb(unsigned r, unsigned g, unsigned b) {
    return r | (g << 8) | (b << 16);
}

// The 8-bit colour that converts exactly to the RGB565 channels given.
inline uint32_t From565(unsigned r5, unsigned g6, unsigned b5) {
    return Rgb((r5 * 255 + 15) / 31, (g6 * 255 + 31) / 63, (b5 * 255 + 15) / 31);
}

// `n` distinct opaque colours, none of them black.
inline std::vector<uint32_t> DistinctColors(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint32_t> colors;
    std::vector<bool> used(65536, false);
    used[0] = true;
    while (colors.size() < n) {
        const unsigned v = rng() & 0xFFFF;
        if (!used[v]) {
            used[v] = true;
            colors.push_back(From565(v >> 11, (v >> 5) & 63, v & 31));
        }
    }
    return colors;
}

// Clusters of near shades: `centres` random colours, each with shades one or two
// steps away in each channel, so that merging happens at high accuracies.
inline std::vector<uint32_t> NearShades(size_t centres, size_t perCentre, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint32_t> colors;
    for (size_t c = 0; c < centres; ++c) {
        const int r = 2 + static_cast<int>(rng() % 28), g = 3 + static_cast<int>(rng() % 58),
                  b = 2 + static_cast<int>(rng() % 28);
        for (size_t s = 0; s < perCentre; ++s) {
            const int dr = static_cast<int>(rng() % 5) - 2, dg = static_cast<int>(rng() % 7) - 3,
                      db = static_cast<int>(rng() % 5) - 2;
            colors.push_back(From565(r + dr, g + dg, b + db));
        }
    }
    return colors;
}

// A smooth colour field with sensor-like noise: many near shades, as in a
// photograph. Noise 1.5 gives about 30,000 distinct 16-bit colours at 1024 x 768,
// noise 3 about 5,000 at 256 x 256.
inline std::unique_ptr<quenda::c32bppDIB> PhotoLike(int32_t width, int32_t height, double noise,
                                                    uint32_t seed = 1) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> grain(0, noise);
    auto channel = [](double v) {
        return static_cast<unsigned>(std::lround(std::fmin(255, std::fmax(0, v))));
    };
    return MakeImage(width, height, false, [&](int x, int y) {
        const double r = 128 + 90 * std::sin(x / 97.0 + y / 211.0) + 30 * std::sin(x / 23.0);
        const double g =
            120 + 80 * std::cos(x / 151.0 - y / 83.0) + 35 * std::sin(y / 31.0 + x / 57.0);
        const double b = 110 + 70 * std::sin((x + y) / 173.0) + 40 * std::cos(y / 41.0);
        return Pixel{Rgb(channel(r + grain(rng)), channel(g + grain(rng)), channel(b + grain(rng))),
                     255};
    });
}

}  // namespace enginetest
