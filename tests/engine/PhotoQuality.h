#pragma once

// Measures for converted photographs: PSNR against the source, and the plain
// reductions the encoder is held against (median cut per row of the RGB565-rounded
// picture, and one median-cut palette for the whole picture). Header-only so that
// tests and benchmarks share them.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "engine/RLEDecoder.h"
#include "engine/ZorixImgEngineEvents.h"
#include "engine/modColor.h"
#include "imaging/c32bppDIB.h"

namespace enginetest {

// PSNR of the colour channels (as stored, premultiplied) of b against a.
inline double Psnr(const quenda::c32bppDIB& a, const quenda::c32bppDIB& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.Width() == 0) {
        return 0;
    }
    double squares = 0;
    for (int32_t y = 0; y < a.Height(); ++y) {
        const uint8_t* p = a.BitsPointer() + a.PixelOffset(0, y);
        const uint8_t* q = b.BitsPointer() + b.PixelOffset(0, y);
        for (int32_t i = 0; i < a.Width() * 4; ++i) {
            if (i % 4 != 3) {
                const double d = static_cast<double>(p[i]) - q[i];
                squares += d * d;
            }
        }
    }
    const double mse = squares / (3.0 * a.Width() * a.Height());
    return mse <= 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

// Decodes a device bitmap held in memory; nullptr when it does not decode.
inline std::unique_ptr<quenda::c32bppDIB> DecodeBytes(const std::vector<uint8_t>& bytes) {
    quenda::ZorixImgEngineEvents silent;
    auto image = std::make_unique<quenda::c32bppDIB>();
    if (!quenda::DecodeRLEBytes(bytes, "photo", *image, silent).success) {
        return nullptr;
    }
    return image;
}

inline std::unique_ptr<quenda::c32bppDIB> LoadPhoto(const std::filesystem::path& path) {
    auto image = std::make_unique<quenda::c32bppDIB>();
    if (!image->LoadPicture_File(path, 0, 0, false, 32)) {
        return nullptr;
    }
    return image;
}

// A bilinear resampling of an opaque picture to width x height.
inline std::unique_ptr<quenda::c32bppDIB> Resized(const quenda::c32bppDIB& source, int32_t width,
                                                  int32_t height) {
    auto image = std::make_unique<quenda::c32bppDIB>();
    image->InitializeDIB(width, height);
    image->setAlpha(false);
    const double sx = static_cast<double>(source.Width() - 1) / std::max(1, width - 1);
    const double sy = static_cast<double>(source.Height() - 1) / std::max(1, height - 1);
    for (int32_t y = 0; y < height; ++y) {
        const double fy = y * sy;
        const int32_t y0 = static_cast<int32_t>(fy), y1 = std::min(y0 + 1, source.Height() - 1);
        const double ty = fy - y0;
        uint8_t* out = image->BitsPointer() + image->PixelOffset(0, y);
        for (int32_t x = 0; x < width; ++x, out += 4) {
            const double fx = x * sx;
            const int32_t x0 = static_cast<int32_t>(fx), x1 = std::min(x0 + 1, source.Width() - 1);
            const double tx = fx - x0;
            const uint8_t* a = source.BitsPointer() + source.PixelOffset(x0, y0);
            const uint8_t* b = source.BitsPointer() + source.PixelOffset(x1, y0);
            const uint8_t* c = source.BitsPointer() + source.PixelOffset(x0, y1);
            const uint8_t* d = source.BitsPointer() + source.PixelOffset(x1, y1);
            for (int k = 0; k < 3; ++k) {
                const double top = a[k] + (b[k] - a[k]) * tx, bottom = c[k] + (d[k] - c[k]) * tx;
                out[k] = static_cast<uint8_t>(std::lround(top + (bottom - top) * ty));
            }
            out[3] = 255;
        }
    }
    return image;
}

// Plain median cut (Heckbert): the box with the longest side is cut at the median
// pixel of that side until there are `count` boxes; each box stands for the mean of
// its pixels.
class PlainMedianCut {
  public:
    struct Color {
        std::array<int, 3> rgb;
        uint32_t count;
    };

    // Returns the mean colour standing for each input colour.
    static std::vector<std::array<double, 3>> Reduce(std::vector<Color> colors, size_t count) {
        std::vector<std::array<double, 3>> means(colors.size());
        std::vector<size_t> order(colors.size());
        std::iota(order.begin(), order.end(), 0);
        struct Box {
            size_t begin, end;
        };
        std::vector<Box> boxes{{0, colors.size()}};
        const auto side = [&](const Box& box, int& axis) {
            int longest = -1;
            for (int a = 0; a < 3; ++a) {
                int lo = 256, hi = -1;
                for (size_t i = box.begin; i < box.end; ++i) {
                    lo = std::min(lo, colors[order[i]].rgb[a]);
                    hi = std::max(hi, colors[order[i]].rgb[a]);
                }
                if (hi - lo > longest) {
                    longest = hi - lo;
                    axis = a;
                }
            }
            return longest;
        };
        while (boxes.size() < count) {
            int bestSide = 0, bestAxis = 0;
            size_t bestBox = boxes.size();
            for (size_t b = 0; b < boxes.size(); ++b) {
                int axis = 0;
                const int s = side(boxes[b], axis);
                if (s > bestSide) {
                    bestSide = s;
                    bestAxis = axis;
                    bestBox = b;
                }
            }
            if (bestBox == boxes.size()) {
                break;
            }
            Box box = boxes[bestBox];
            std::sort(order.begin() + box.begin, order.begin() + box.end, [&](size_t x, size_t y) {
                return colors[x].rgb[bestAxis] < colors[y].rgb[bestAxis];
            });
            uint64_t total = 0, run = 0;
            for (size_t i = box.begin; i < box.end; ++i) {
                total += colors[order[i]].count;
            }
            size_t cut = box.begin + 1;
            for (size_t i = box.begin; i + 1 < box.end; ++i) {
                run += colors[order[i]].count;
                cut = i + 1;
                if (run * 2 >= total) {
                    break;
                }
            }
            boxes[bestBox] = {box.begin, cut};
            boxes.push_back({cut, box.end});
        }
        for (const Box& box : boxes) {
            double sum[3] = {}, n = 0;
            for (size_t i = box.begin; i < box.end; ++i) {
                const Color& c = colors[order[i]];
                for (int a = 0; a < 3; ++a) {
                    sum[a] += static_cast<double>(c.rgb[a]) * c.count;
                }
                n += c.count;
            }
            for (size_t i = box.begin; i < box.end; ++i) {
                means[order[i]] = {sum[0] / n, sum[1] / n, sum[2] / n};
            }
        }
        return means;
    }
};

// The colour of a stored opaque pixel rounded to RGB565 and back, as 0x00RRGGBB
// channels r, g, b.
inline std::array<int, 3> Rounded565(const uint8_t* p) {
    const uint32_t c = quenda::RGB565ToRGB(quenda::RGBTo565(
        p[2] | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[0]) << 16)));
    return {static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
            static_cast<int>((c >> 16) & 0xFF)};
}

// A colour of 0..255 channels (red, green, blue) as the format stores it: rounded
// to RGB565 and read back.
inline std::array<double, 3> As565(const std::array<double, 3>& c) {
    const auto byte = [](double v) {
        return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 255.0)));
    };
    const uint32_t back =
        quenda::RGB565ToRGB(quenda::RGBTo565(byte(c[0]) | byte(c[1]) << 8 | byte(c[2]) << 16));
    return {static_cast<double>(back & 0xFF), static_cast<double>((back >> 8) & 0xFF),
            static_cast<double>((back >> 16) & 0xFF)};
}

// PSNR of an opaque picture whose every row of the RGB565-rounded colours is
// reduced on its own to `perRow` colours by plain median cut, each box's mean
// stored as the format stores colours (RGB565): the best a row can show is the
// RGB565 rounding itself.
inline double PerRowMedianCutPsnr(const quenda::c32bppDIB& source, size_t perRow = 251) {
    double squares = 0;
    for (int32_t y = 0; y < source.Height(); ++y) {
        std::vector<PlainMedianCut::Color> colors;
        std::vector<size_t> colorOf(static_cast<size_t>(source.Width()));
        std::vector<int32_t> seen(1 << 16, -1);
        const uint8_t* row = source.BitsPointer() + source.PixelOffset(0, y);
        for (int32_t x = 0; x < source.Width(); ++x) {
            const std::array<int, 3> c = Rounded565(row + 4 * x);
            const uint16_t key =
                quenda::RGBTo565(static_cast<uint32_t>(c[0]) | (c[1] << 8) | (c[2] << 16));
            if (seen[key] < 0) {
                seen[key] = static_cast<int32_t>(colors.size());
                colors.push_back({c, 0});
            }
            ++colors[static_cast<size_t>(seen[key])].count;
            colorOf[static_cast<size_t>(x)] = static_cast<size_t>(seen[key]);
        }
        const auto means = PlainMedianCut::Reduce(colors, perRow);
        for (int32_t x = 0; x < source.Width(); ++x) {
            const auto m = As565(means[colorOf[static_cast<size_t>(x)]]);
            const uint8_t* p = row + 4 * x;
            for (int a = 0; a < 3; ++a) {
                const double d = m[a] - p[2 - a];
                squares += d * d;
            }
        }
    }
    const double mse = squares / (3.0 * source.Width() * source.Height());
    return mse <= 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

// PSNR of an opaque picture with every pixel rounded to RGB565: the ceiling of any
// palette the format can hold, however many colours it has.
inline double Rgb565CeilingPsnr(const quenda::c32bppDIB& source) {
    double squares = 0;
    for (int32_t y = 0; y < source.Height(); ++y) {
        const uint8_t* p = source.BitsPointer() + source.PixelOffset(0, y);
        for (int32_t x = 0; x < source.Width(); ++x, p += 4) {
            const std::array<int, 3> c = Rounded565(p);
            for (int a = 0; a < 3; ++a) {
                const double d = c[a] - p[2 - a];
                squares += d * d;
            }
        }
    }
    const double mse = squares / (3.0 * source.Width() * source.Height());
    return mse <= 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

// PSNR of an opaque picture reduced to one plain median-cut palette of `count`
// colours, each pixel drawn in its nearest palette colour. The palette keeps the
// boxes' means to the byte, or with `as565` as the format stores colours.
inline double MedianCutPalettePsnr(const quenda::c32bppDIB& source, size_t count = 250,
                                   bool as565 = false) {
    std::vector<PlainMedianCut::Color> colors;
    std::vector<int32_t> seen(1 << 24, -1);
    for (int32_t y = 0; y < source.Height(); ++y) {
        const uint8_t* p = source.BitsPointer() + source.PixelOffset(0, y);
        for (int32_t x = 0; x < source.Width(); ++x, p += 4) {
            const int key = p[2] << 16 | p[1] << 8 | p[0];
            if (seen[key] < 0) {
                seen[key] = static_cast<int32_t>(colors.size());
                colors.push_back({{p[2], p[1], p[0]}, 0});
            }
            ++colors[static_cast<size_t>(seen[key])].count;
        }
    }
    const auto means = PlainMedianCut::Reduce(colors, count);
    std::vector<std::array<double, 3>> palette;
    for (const auto& m : means) {
        const std::array<double, 3> r =
            as565 ? As565(m)
                  : std::array<double, 3>{std::round(m[0]), std::round(m[1]), std::round(m[2])};
        if (std::find(palette.begin(), palette.end(), r) == palette.end()) {
            palette.push_back(r);
        }
    }
    double squares = 0;
    for (const PlainMedianCut::Color& c : colors) {
        double best = std::numeric_limits<double>::max();
        for (const auto& e : palette) {
            const double d0 = e[0] - c.rgb[0], d1 = e[1] - c.rgb[1], d2 = e[2] - c.rgb[2];
            best = std::min(best, d0 * d0 + d1 * d1 + d2 * d2);
        }
        squares += best * c.count;
    }
    const double mse = squares / (3.0 * source.Width() * source.Height());
    return mse <= 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

}  // namespace enginetest
