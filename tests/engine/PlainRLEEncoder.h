#pragma once

// A direct, unoptimised transcription of the device bitmap encoder: the palette is
// searched through cMemPalette snapshots, merge candidates are all pairs of the two
// halves, rows choose their windows by repeated searches. It is slow on purpose:
// it is the reference whose bytes and events the real encoder must reproduce.
// Header-only so that the benchmarks can measure it in the same process.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/PALETTE16.h"
#include "engine/ZorixImgEngineEvents.h"
#include "engine/cMemPalette.h"
#include "engine/modColor.h"
#include "engine/modMain.h"
#include "imaging/c32bppDIB.h"

namespace plain {

using quenda::cMemPalette;
using quenda::PALETTE16;

struct Outcome {
    bool success = false;
    bool paletteOverflow = false;
    bool rowTooColorful = false;
    std::vector<uint8_t> bytes;
};

class PlainEncoder {
  public:
    PlainEncoder(const std::string& fileName, const quenda::c32bppDIB& image, float accuracy,
                 int32_t maxPalette, quenda::ZorixImgEngineEvents& events)
        : fileName_(fileName), image_(image), accuracy_(accuracy), max_(maxPalette), ev_(events) {}

    Outcome Run() {
        ev_.RLEEncodingStarted(fileName_);
        Outcome out;
        Encode(out);
        if (!out.success) {
            out.bytes.clear();
        }
        ev_.RLEEncodingComplete(fileName_, out.success, out.paletteOverflow);
        return out;
    }

  private:
    std::string Desc(size_t count) const {
        return status_ + ", " + std::to_string(count) + " colors";
    }
    float Progress(int32_t y) const {
        return H_ > 1 ? static_cast<float>(y * 100.0 / (H_ - 1)) : 100.0f;
    }
    void Raise(int16_t step, const char* action, float progress, size_t count) {
        ev_.RLEEncoding(fileName_, step, action, Desc(count), progress,
                        static_cast<int32_t>(count));
    }
    PALETTE16& Pixel(int32_t x, int32_t y) { return pix_[static_cast<size_t>(y) * W_ + x]; }

    void Encode(Outcome& out) {
        W_ = image_.Width();
        H_ = image_.Height();
        alpha_ = image_.Alpha();
        status_ = "size: " + std::to_string(W_) + "x" + std::to_string(H_) +
                  " | color palette: 16Bit " + (alpha_ ? "A" : "") + "RGB";
        // Phase 1
        ev_.RLEEncoding(fileName_, 1, "Reading image into memory", status_, -1, 0);
        entry0_.pColor = 0;
        entry0_.pAlpha = alpha_ ? 0 : 32;
        pal_.assign(1, entry0_);
        pix_.assign(static_cast<size_t>(W_) * H_, PALETTE16{});
        for (int32_t y = 0; y < H_; ++y) {
            for (int32_t x = 0; x < W_; ++x) {
                uint8_t a = 0;
                const int32_t c = image_.GetPixel(x, y, &a, false);
                Pixel(x, y).pColor =
                    static_cast<int16_t>(quenda::RGBTo565(static_cast<uint32_t>(c)));
                Pixel(x, y).pAlpha = quenda::AlphaTo33(a);
            }
        }
        Collect();
        if (pal_.size() >= 65536) {
            out.paletteOverflow = true;
            return;
        }
        if (pal_.size() > 250) {
            CountAndSort();
            if (accuracy_ < 100.0f || max_ > 0) {
                Merge();
            }
        }
        if (!CodeRows(out)) {
            return;
        }
        BuildFile(out);
    }

    // Phase 2
    void Collect() {
        ev_.RLEEncoding(fileName_, 1, "Loading color palette", status_, 0, 0);
        mp_.Load(pal_);
        for (int32_t y = 0; y < H_; ++y) {
            for (int32_t x = 0; x < W_; ++x) {
                const PALETTE16 p = Pixel(x, y);
                if (p == entry0_ || mp_.Find(p, 0) >= 0) {
                    continue;
                }
                pal_.push_back(p);
                mp_.Load(pal_);
            }
            Raise(1, "Loading color palette", Progress(y), pal_.size());
        }
    }

    // Phases 3 and 4
    void CountAndSort() {
        const size_t count = pal_.size();
        Raise(2, "Analyzing palette", 0, count);
        std::vector<int32_t> counter(count, 0);
        for (int32_t y = 0; y < H_; ++y) {
            for (int32_t x = 0; x < W_; ++x) {
                const PALETTE16 p = Pixel(x, y);
                if (p == entry0_) {
                    continue;
                }
                int32_t i = mp_.Find(p, 0);
                while (i > 0) {
                    counter[i] += 1;
                    i = mp_.Find(p, i + 1);
                }
            }
            Raise(2, "Analyzing palette...", Progress(y), count);
        }
        Raise(2, "Sorting palette...", -1, count);
        bool swapped = true;
        while (swapped) {
            swapped = false;
            for (size_t k = 1; k + 1 < count; ++k) {
                if (counter[k] < counter[k + 1]) {
                    std::swap(counter[k], counter[k + 1]);
                    std::swap(pal_[k], pal_[k + 1]);
                    swapped = true;
                }
            }
        }
        // The search copy must follow the new order, or codes would name the old one.
        mp_.Load(pal_);
    }

    // Phase 5
    void Merge() {
        cMemPalette pixelFinder;
        Raise(2, "Scanning color palette. Please wait...", -1, pal_.size());
        float T = accuracy_ < 100.0f ? accuracy_ : 99.9f;
        for (;;) {
            const auto count = static_cast<int32_t>(pal_.size());
            const int32_t half = count / 2;
            std::vector<std::pair<int32_t, int32_t>> pairs;  // (from, to)
            std::vector<bool> merged(static_cast<size_t>(count), false);
            int32_t j = 0;
            bool stop = false;
            for (int32_t k = 1; k <= half && !stop; ++k) {
                for (int32_t m = count - 1; m >= half + 1; --m) {
                    if (pal_[k].pAlpha == pal_[m].pAlpha &&
                        quenda::ColorSimilarity(static_cast<uint16_t>(pal_[k].pColor),
                                                static_cast<uint16_t>(pal_[m].pColor)) >= T &&
                        !merged[m]) {
                        merged[m] = true;
                        pairs.emplace_back(m, k);
                        j += 1;
                        const int32_t remaining = count - j;
                        if (max_ > 0 && max_ >= remaining) {
                            stop = true;
                            break;
                        }
                        Raise(2, "Reducing color palette...", -1, static_cast<size_t>(remaining));
                    }
                }
            }
            if (j > 0) {
                std::sort(pairs.begin(), pairs.end(),
                          [](const auto& a, const auto& b) { return a.first > b.first; });
                pixelFinder.Load(pix_);
                for (const auto& [from, to] : pairs) {
                    int32_t i = pixelFinder.Find(pal_[from], 0);
                    while (i >= 0) {
                        pix_[i].pColor = pal_[to].pColor;
                        i = pixelFinder.Find(pal_[from], i + 1);
                    }
                }
                for (const auto& pair : pairs) {
                    pal_.erase(pal_.begin() + pair.first);
                }
            }
            const auto left = static_cast<int32_t>(pal_.size());
            if (max_ < 1 || max_ >= left) {
                break;
            }
            if (j == 0 && T < 0) {
                break;  // every pair of equal alpha matches below 0: none is left
            }
            T = static_cast<float>(static_cast<double>(T) - 0.1);
        }
        mp_.Load(pal_);
    }

    // Phase 6
    bool CodeRows(Outcome& out) {
        quenda::TraceLine("starting encode annoucement");
        Raise(3, "Encoding bitmap", 0, pal_.size());
        quenda::TraceLine("starting encode");
        rows_.assign(static_cast<size_t>(H_), {});
        for (int32_t y = 0; y < H_; ++y) {
            int32_t base = 1;
            if (pal_.size() > 250) {
                base = ChooseWindow(y);
            }
            if (pal_.size() >= 65536) {
                out.paletteOverflow = true;
                return false;
            }
            std::vector<uint8_t>& row = rows_[y];
            if (base > 1) {
                row.push_back(0xFD);
                row.push_back(static_cast<uint8_t>((base - 1) & 255));
                row.push_back(static_cast<uint8_t>((base - 1) / 256));
            }
            int32_t previous = 0, m = 0;
            for (int32_t x = 0; x < W_; ++x) {
                const PALETTE16 p = Pixel(x, y);
                const int32_t code = p == entry0_ ? 0 : mp_.Find(p, base) + 1 - base;
                if (p != entry0_ && (code < 1 || code > 251)) {
                    out.rowTooColorful = true;
                    return false;
                }
                if (x == 0) {
                    previous = code;
                    m = 1;
                } else if (code == previous && m < 255) {
                    m += 1;
                } else {
                    Flush(row, previous, m);
                    previous = code;
                    m = 1;
                }
            }
            if (W_ > 0) {
                Flush(row, previous, m);
            }
            if (row.size() > 65535) {
                return false;
            }
            Raise(3, "Encoding bitmap", Progress(y), pal_.size());
        }
        return true;
    }

    int32_t ChooseWindow(int32_t y) {
        std::vector<PALETTE16> rowPal;
        for (int32_t x = 0; x < W_; ++x) {
            const PALETTE16 p = Pixel(x, y);
            if (p != entry0_ && std::find(rowPal.begin(), rowPal.end(), p) == rowPal.end()) {
                rowPal.push_back(p);
            }
        }
        const auto k = static_cast<int32_t>(rowPal.size());
        int32_t start = 0, lo = 0, hi = 0;
        for (;;) {
            auto count = static_cast<int32_t>(pal_.size());
            lo = count - 1;
            hi = 0;
            int32_t found = 0;
            for (const PALETTE16& c : rowPal) {
                const int32_t i = mp_.Find(c, start);
                if (i >= 0) {
                    found += 1;
                    lo = std::min(lo, i);
                    hi = std::max(hi, i);
                }
            }
            if (found < k) {
                start = (count - 1) + k - 250;
                for (const PALETTE16& c : rowPal) {
                    if (mp_.Find(c, start) < 0) {
                        pal_.push_back(c);
                        count += 1;
                        mp_.Load(pal_);
                    }
                }
                lo = start;
                hi = count - 1;
            }
            if (hi - lo < 251) {
                break;
            }
            start = lo + 1;
        }
        int32_t base = hi < 250 ? 1 : lo;
        return base == 0 ? 1 : base;
    }

    static void Flush(std::vector<uint8_t>& row, int32_t v, int32_t m) {
        if (m < 4) {
            row.insert(row.end(), static_cast<size_t>(m), static_cast<uint8_t>(v));
        } else if (v != 0) {
            row.insert(row.end(), {0xFE, static_cast<uint8_t>(v), static_cast<uint8_t>(m)});
        } else {
            row.insert(row.end(), {0xFF, static_cast<uint8_t>(m)});
        }
    }

    // Phase 7
    void BuildFile(Outcome& out) {
        const size_t count = pal_.size();
        Raise(3, "Building file structure...", -1, count);
        std::vector<uint8_t>& b = out.bytes;
        auto put16 = [&b](size_t v) {
            b.push_back(static_cast<uint8_t>(v & 255));
            b.push_back(static_cast<uint8_t>(v / 256));
        };
        b = {'R', 'L', static_cast<uint8_t>(alpha_ ? 1 : 0), 0};
        put16(static_cast<size_t>(W_));
        put16(static_cast<size_t>(H_));
        put16(count);
        put16(static_cast<size_t>(H_));
        b.push_back(0x1F);
        b.push_back(0xF8);
        for (size_t i = 1; i < count; ++i) {
            put16(static_cast<uint16_t>(pal_[i].pColor));
        }
        if (alpha_) {
            for (size_t i = 0; i < count; ++i) {
                b.push_back(pal_[i].pAlpha);
            }
        }
        for (const auto& row : rows_) {
            if (row.size() < 255) {
                b.push_back(static_cast<uint8_t>(row.size()));
            } else {
                b.push_back(0xFF);
                b.push_back(static_cast<uint8_t>(row.size() / 256));
                b.push_back(static_cast<uint8_t>(row.size() & 255));
            }
        }
        for (const auto& row : rows_) {
            b.insert(b.end(), row.begin(), row.end());
        }
        out.success = true;
    }

    const std::string& fileName_;
    const quenda::c32bppDIB& image_;
    float accuracy_;
    int32_t max_;
    quenda::ZorixImgEngineEvents& ev_;
    int32_t W_ = 0, H_ = 0;
    bool alpha_ = false;
    std::string status_;
    PALETTE16 entry0_;
    std::vector<PALETTE16> pal_;
    std::vector<PALETTE16> pix_;
    cMemPalette mp_;
    std::vector<std::vector<uint8_t>> rows_;
};

inline Outcome EncodeRLE(const std::string& fileName, const quenda::c32bppDIB& image,
                         float accuracy, int32_t maxPalette, quenda::ZorixImgEngineEvents& events) {
    return PlainEncoder(fileName, image, accuracy, maxPalette, events).Run();
}

}  // namespace plain
