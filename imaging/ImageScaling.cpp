#include "imaging/ImageScaling.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace quenda {

bool PixelBuffer::allocate(int32_t w, int32_t h) {
    if (w <= 0 || h <= 0) {
        return false;
    }
    const uint64_t size = static_cast<uint64_t>(w) * static_cast<uint64_t>(h) * 4;
    if (size > (uint64_t{1} << 32)) {
        return false;
    }
    try {
        bytes.assign(static_cast<size_t>(size), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    width = w;
    height = h;
    return true;
}

bool MirrorPixels(const PixelView& source, bool horizontal, bool vertical, PixelBuffer& out) {
    if (!source.isValid() || !out.allocate(source.width, source.height)) {
        return false;
    }
    for (int32_t y = 0; y < source.height; ++y) {
        const uint8_t* src = source.row(vertical ? source.height - 1 - y : y);
        uint8_t* dst = out.row(y);
        if (!horizontal) {
            std::memcpy(dst, src, static_cast<size_t>(source.width) * 4);
            continue;
        }
        for (int32_t x = 0; x < source.width; ++x) {
            std::memcpy(dst + static_cast<size_t>(x) * 4,
                        src + static_cast<size_t>(source.width - 1 - x) * 4, 4);
        }
    }
    return true;
}

namespace {

bool PrepareOutput(const PixelView& source, const TargetWindow& window, PixelBuffer& out) {
    return source.isValid() && window.targetWidth > 0 && window.targetHeight > 0 &&
           out.allocate(window.width, window.height);
}

int32_t NearestIndex(int64_t t, int32_t sourceSize, int64_t targetSize) {
    // Centre of target pixel t mapped into the source: (2t + 1) * size / (2 * target).
    const long double pos = (2.0L * t + 1.0L) * sourceSize / (2.0L * targetSize);
    const int64_t i = static_cast<int64_t>(pos);
    return static_cast<int32_t>(std::clamp<int64_t>(i, 0, sourceSize - 1));
}

}  // namespace

bool ScaleNearest(const PixelView& source, const TargetWindow& window, PixelBuffer& out) {
    if (!PrepareOutput(source, window, out)) {
        return false;
    }
    std::vector<int32_t> columns(static_cast<size_t>(window.width));
    for (int32_t i = 0; i < window.width; ++i) {
        columns[i] = NearestIndex(window.x + i, source.width, window.targetWidth);
    }
    for (int32_t j = 0; j < window.height; ++j) {
        const uint8_t* src =
            source.row(NearestIndex(window.y + j, source.height, window.targetHeight));
        uint8_t* dst = out.row(j);
        for (int32_t i = 0; i < window.width; ++i) {
            std::memcpy(dst + static_cast<size_t>(i) * 4, src + static_cast<size_t>(columns[i]) * 4,
                        4);
        }
    }
    return true;
}

namespace {

// One axis of the own bilinear mapping: the near neighbour and the distance to it.
struct LinearTap {
    int32_t index0 = 0;
    int32_t index1 = 0;
    double weight0 = 1.0;  // 1 - |d| of the near neighbour
    double weight1 = 0.0;  // 1 - |d| of the far one (0 at distance 1 or more)
};

LinearTap MakeLinearTap(int64_t t, int32_t sourceSize, int64_t targetSize) {
    const double pos = static_cast<double>(t) * sourceSize / static_cast<double>(targetSize);
    const double base = std::floor(pos);
    LinearTap tap;
    tap.index0 = static_cast<int32_t>(std::clamp<double>(base, 0, sourceSize - 1));
    tap.index1 = std::min(tap.index0 + 1, sourceSize - 1);
    const double frac = std::clamp(pos - base, 0.0, 1.0);
    tap.weight0 = 1.0 - frac;
    tap.weight1 = frac;
    return tap;
}

}  // namespace

bool ScaleBilinear(const PixelView& source, const TargetWindow& window, PixelBuffer& out) {
    if (!PrepareOutput(source, window, out)) {
        return false;
    }
    std::vector<LinearTap> columns(static_cast<size_t>(window.width));
    for (int32_t i = 0; i < window.width; ++i) {
        columns[i] = MakeLinearTap(window.x + i, source.width, window.targetWidth);
    }
    // Guards against a sum such as 254.9999 for what is exactly 255.
    constexpr double kRoundingSlack = 1e-7;
    for (int32_t j = 0; j < window.height; ++j) {
        const LinearTap r = MakeLinearTap(window.y + j, source.height, window.targetHeight);
        const uint8_t* row0 = source.row(r.index0);
        const uint8_t* row1 = source.row(r.index1);
        uint8_t* dst = out.row(j);
        for (int32_t i = 0; i < window.width; ++i, dst += 4) {
            const LinearTap& c = columns[i];
            const uint8_t* p00 = row0 + static_cast<size_t>(c.index0) * 4;
            const uint8_t* p10 = row0 + static_cast<size_t>(c.index1) * 4;
            const uint8_t* p01 = row1 + static_cast<size_t>(c.index0) * 4;
            const uint8_t* p11 = row1 + static_cast<size_t>(c.index1) * 4;
            const double w00 = c.weight0 * r.weight0, w10 = c.weight1 * r.weight0;
            const double w01 = c.weight0 * r.weight1, w11 = c.weight1 * r.weight1;
            for (int ch = 0; ch < 4; ++ch) {
                const double sum =
                    p00[ch] * w00 + p10[ch] * w10 + p01[ch] * w01 + p11[ch] * w11 + kRoundingSlack;
                dst[ch] = static_cast<uint8_t>(std::min(sum, 255.0));
            }
        }
    }
    return true;
}

namespace {

using Lanes16 = uint16_t __attribute__((vector_size(32)));
using Bytes16 = uint8_t __attribute__((vector_size(16)));

// Adds one row of bytes into 16-bit column sums, sixteen bytes at a time.
void AccumulateRow(const uint8_t* src, size_t length, uint16_t* sums) {
    size_t i = 0;
    for (; i + 16 <= length; i += 16) {
        Bytes16 b;
        Lanes16 acc;
        std::memcpy(&b, src + i, 16);
        std::memcpy(&acc, sums + i, 32);
        acc += __builtin_convertvector(b, Lanes16);
        std::memcpy(sums + i, &acc, 32);
    }
    for (; i < length; ++i) {
        sums[i] = static_cast<uint16_t>(sums[i] + src[i]);
    }
}

}  // namespace

bool BoxReduce(const PixelView& source, int32_t factorX, int32_t factorY, PixelBuffer& out) {
    // Column sums of up to 257 rows of bytes fit in 16 bits.
    if (!source.isValid() || factorX < 1 || factorY < 1 || factorY > 257) {
        return false;
    }
    const int32_t w = (source.width + factorX - 1) / factorX;
    const int32_t h = (source.height + factorY - 1) / factorY;
    if (!out.allocate(w, h)) {
        return false;
    }
    const size_t rowBytes = static_cast<size_t>(source.width) * 4;
    std::vector<uint16_t> columns(rowBytes);
    for (int32_t by = 0; by < h; ++by) {
        std::fill(columns.begin(), columns.end(), uint16_t{0});
        const int32_t y0 = by * factorY;
        const int32_t y1 = std::min(y0 + factorY, source.height);
        for (int32_t y = y0; y < y1; ++y) {
            AccumulateRow(source.row(y), rowBytes, columns.data());
        }
        uint8_t* dst = out.row(by);
        for (int32_t bx = 0; bx < w; ++bx) {
            const int32_t x0 = bx * factorX;
            const int32_t x1 = std::min(x0 + factorX, source.width);
            uint32_t sums[4] = {0, 0, 0, 0};
            for (int32_t x = x0; x < x1; ++x) {
                for (int ch = 0; ch < 4; ++ch) {
                    sums[ch] += columns[static_cast<size_t>(x) * 4 + ch];
                }
            }
            const uint32_t count = static_cast<uint32_t>(x1 - x0) * (y1 - y0);
            for (int ch = 0; ch < 4; ++ch) {
                dst[bx * 4 + ch] = static_cast<uint8_t>((sums[ch] + count / 2) / count);
            }
        }
    }
    return true;
}

namespace {

double CubicKernel(double x) {
    constexpr double a = -0.5;
    x = std::fabs(x);
    if (x < 1.0) {
        return ((a + 2.0) * x - (a + 3.0)) * x * x + 1.0;
    }
    if (x < 2.0) {
        return ((a * x - 5.0 * a) * x + 8.0 * a) * x - 4.0 * a;
    }
    return 0.0;
}

// The source indices and normalised weights of each produced target coordinate.
struct CubicTaps {
    std::vector<int32_t> first;  // offset into index/weight per target coordinate
    std::vector<int32_t> count;
    std::vector<int32_t> index;
    std::vector<float> weight;
    int32_t lowest = INT32_MAX;
    int32_t highest = 0;
};

CubicTaps MakeCubicTaps(int32_t sourceSize, int64_t targetSize, int64_t start, int32_t n) {
    CubicTaps taps;
    const double scale = static_cast<double>(sourceSize) / static_cast<double>(targetSize);
    const double widen = std::max(scale, 1.0);
    const double support = 2.0 * widen;
    for (int32_t i = 0; i < n; ++i) {
        const double centre = (static_cast<double>(start + i) + 0.5) * scale - 0.5;
        const int64_t lo = static_cast<int64_t>(std::ceil(centre - support));
        const int64_t hi = static_cast<int64_t>(std::floor(centre + support));
        taps.first.push_back(static_cast<int32_t>(taps.index.size()));
        double total = 0.0;
        const size_t begin = taps.weight.size();
        for (int64_t k = lo; k <= hi; ++k) {
            const double w = CubicKernel((static_cast<double>(k) - centre) / widen);
            if (w == 0.0) {
                continue;
            }
            const int32_t idx = static_cast<int32_t>(std::clamp<int64_t>(k, 0, sourceSize - 1));
            taps.index.push_back(idx);
            taps.weight.push_back(static_cast<float>(w));
            taps.lowest = std::min(taps.lowest, idx);
            taps.highest = std::max(taps.highest, idx);
            total += w;
        }
        if (taps.weight.size() == begin) {  // cannot happen, but keep one tap
            const int32_t idx = static_cast<int32_t>(
                std::clamp<int64_t>(static_cast<int64_t>(std::llround(centre)), 0, sourceSize - 1));
            taps.index.push_back(idx);
            taps.weight.push_back(1.0f);
            taps.lowest = std::min(taps.lowest, idx);
            taps.highest = std::max(taps.highest, idx);
            total = 1.0;
        }
        for (size_t k = begin; k < taps.weight.size(); ++k) {
            taps.weight[k] = static_cast<float>(taps.weight[k] / total);
        }
        taps.count.push_back(static_cast<int32_t>(taps.weight.size() - begin));
    }
    return taps;
}

uint8_t ClampByte(float v, float limit) {
    v = std::min(std::max(v + 0.5f, 0.0f), limit);
    return static_cast<uint8_t>(v);
}

void BicubicPass(const PixelView& source, const TargetWindow& window, PixelBuffer& out) {
    const CubicTaps cols = MakeCubicTaps(source.width, window.targetWidth, window.x, window.width);
    const CubicTaps rows =
        MakeCubicTaps(source.height, window.targetHeight, window.y, window.height);
    const int32_t colLo = cols.lowest;
    const int32_t span = cols.highest - colLo + 1;
    std::vector<float> acc(static_cast<size_t>(span) * 4);
    for (int32_t j = 0; j < window.height; ++j) {
        std::fill(acc.begin(), acc.end(), 0.0f);
        for (int32_t t = 0; t < rows.count[j]; ++t) {
            const float w = rows.weight[rows.first[j] + t];
            const uint8_t* src = source.pixel(colLo, rows.index[rows.first[j] + t]);
            for (size_t k = 0; k < acc.size(); ++k) {
                acc[k] += w * static_cast<float>(src[k]);
            }
        }
        uint8_t* dst = out.row(j);
        for (int32_t i = 0; i < window.width; ++i, dst += 4) {
            float s[4] = {0, 0, 0, 0};
            for (int32_t t = 0; t < cols.count[i]; ++t) {
                const float w = cols.weight[cols.first[i] + t];
                const float* a =
                    &acc[static_cast<size_t>(cols.index[cols.first[i] + t] - colLo) * 4];
                s[0] += w * a[0];
                s[1] += w * a[1];
                s[2] += w * a[2];
                s[3] += w * a[3];
            }
            // Overshoot must not break premultiplication: colour stays within alpha.
            dst[3] = ClampByte(s[3], 255.0f);
            const float limit = static_cast<float>(dst[3]);
            dst[0] = ClampByte(s[0], limit);
            dst[1] = ClampByte(s[1], limit);
            dst[2] = ClampByte(s[2], limit);
        }
    }
}

// Block size for averaging before the bicubic step: keeps at least twice the target
// resolution so the bicubic filter still does the final smoothing.
int32_t PreReductionFactor(int32_t sourceSize, int64_t targetSize) {
    const int64_t factor = std::min<int64_t>(sourceSize / (2 * targetSize), 257);
    return factor >= 2 ? static_cast<int32_t>(factor) : 1;
}

}  // namespace

bool ScaleBicubic(const PixelView& source, const TargetWindow& window, PixelBuffer& out) {
    if (!PrepareOutput(source, window, out)) {
        return false;
    }
    const int32_t fx = PreReductionFactor(source.width, window.targetWidth);
    const int32_t fy = PreReductionFactor(source.height, window.targetHeight);
    if (fx == 1 && fy == 1) {
        BicubicPass(source, window, out);
        return true;
    }
    PixelBuffer reduced;
    if (!BoxReduce(source, fx, fy, reduced)) {
        return false;
    }
    BicubicPass(reduced.view(), window, out);
    return true;
}

}  // namespace quenda
