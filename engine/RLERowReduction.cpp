#include "engine/RLERowReduction.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <functional>
#include <future>
#include <numeric>
#include <system_error>
#include <thread>

#include "engine/RLEFormat.h"
#include "engine/RowColorReducer.h"
#include "engine/RowPace.h"
#include "engine/RowProgress.h"
#include "imaging/c32bppDIB.h"

namespace quenda::encoding {

namespace {

// The straight (not premultiplied) colour of a stored pixel, written to `out`.
const uint8_t* StraightOf(const KeyTables& tables, const uint8_t* p, uint8_t* out) {
    const uint8_t* straight = tables.straight.data() + p[3] * 256;
    for (int c = 0; c < 3; ++c) {
        out[c] = straight[p[c]];
    }
    return out;
}

// The distinct colours of one row, in the order the row lists give them, with the
// mean source colour of their pixels.
class RowColorCollector {
  public:
    RowColorCollector(const c32bppDIB& image, const Work& work, const RowColorLists& lists)
        : image_(image), work_(work), lists_(lists), slot_(work.palette.size(), 0) {}

    const std::vector<RowColor>& Collect(int32_t y) {
        const KeyTables& tables = Tables();
        first_ = lists_.starts[static_cast<size_t>(y)];
        const size_t end = lists_.starts[static_cast<size_t>(y) + 1];
        // Every colour of the row gets its slot; slots of other colours are not read.
        for (size_t i = first_; i < end; ++i) {
            slot_[static_cast<size_t>(lists_.ids[i])] = static_cast<int32_t>(i - first_);
        }
        sums_.assign(end - first_, {});
        uint8_t pixel[4] = {};
        const int32_t* row = work_.pixels.data() + static_cast<size_t>(y) * work_.width;
        const uint8_t* p = image_.BitsPointer() + image_.PixelOffset(0, y);
        for (int32_t x = 0; x < work_.width; ++x, p += 4) {
            const int32_t id = row[x];
            if (id == 0) {
                continue;
            }
            std::array<uint32_t, 4>& s = sums_[static_cast<size_t>(slot_[static_cast<size_t>(id)])];
            // An opaque pixel is its own straight colour.
            const uint8_t* straight = p[3] == 255 ? p : StraightOf(tables, p, pixel);
            s[0] += straight[2];
            s[1] += straight[1];
            s[2] += straight[0];
            s[3] += 1;
        }
        // Written field by field: a whole record built aside and copied in made
        // the processor wait for its own stores.
        colors_.resize(sums_.size());
        for (size_t i = 0; i < sums_.size(); ++i) {
            const PaletteKey key = work_.palette[static_cast<size_t>(Id(i))];
            const std::array<uint32_t, 4>& s = sums_[i];
            const double perPixel = 1.0 / s[3];
            const auto mean = [&](int c) { return static_cast<float>(s[c] * perPixel); };
            RowColor& color = colors_[i];
            color.key = key;
            color.source.point = PointOf(mean(0), mean(1), mean(2), KeyAlpha(key));
            color.source.weight = static_cast<float>(s[3]) * OpacityWeight(KeyAlpha(key));
        }
        return colors_;
    }
    // The palette id of colour i of the last row collected.
    int32_t Id(size_t i) const { return lists_.ids[first_ + i]; }

  private:
    const c32bppDIB& image_;
    const Work& work_;
    const RowColorLists& lists_;
    std::vector<int32_t> slot_;
    size_t first_ = 0;  // the last row's first colour in the lists
    // Whole sums: a row of at most 32767 pixels of 0..255 fits 32 bits.
    std::vector<std::array<uint32_t, 4>> sums_;
    std::vector<RowColor> colors_;
};

// A band of rows whose colours are reduced on a palette of its own, so that bands
// can be reduced side by side. Their palettes are joined in band order, and a
// band's windows move on by the entries of the bands above it.
struct Band {
    int32_t first = 0;  // rows first to end - 1
    int32_t end = 0;
    int32_t capacity = 0;          // entries of its palette, the transparent one included
    std::vector<int64_t> weights;  // per row, its weight in sharing out the new entries
    // What the reduction gives: the band's palette, and per row the first entry
    // of its window and its runs, without the base marker.
    std::vector<PaletteKey> palette;
    std::vector<int32_t> bases;
    std::vector<uint8_t> runs;
    std::vector<size_t> runEnds;
    bool reduced = false;
    bool uncodable = false;  // a row left a colour out of its window
};

// Bands of fewer rows would spend too much of the palette on their first rows,
// which start with nothing in reach. The number of bands depends on the picture
// alone, so that every machine writes the same bytes.
constexpr int32_t kLeastBandRows = 128;
constexpr int32_t kMostBands = 4;
// Nor is a small palette split: each band would get too few entries.
constexpr int32_t kLeastBandEntries = 8 * rle::kWindowSize;

// Where `count` bands of at least kLeastBandRows rows end so that each has about
// the same work: a row costs what an average row costs plus its weight, as
// choosing new entries is most of the work.
std::vector<int32_t> BalancedEnds(const std::vector<int64_t>& weights, int32_t count) {
    const auto height = static_cast<int32_t>(weights.size());
    const auto sum =
        static_cast<double>(std::accumulate(weights.begin(), weights.end(), int64_t{0}));
    const double rowCost = std::max(1.0, sum / height);
    const double total = sum + rowCost * height;
    std::vector<int32_t> ends;
    double run = 0;
    int32_t first = 0;
    for (int32_t y = 0; y < height && static_cast<int32_t>(ends.size()) + 1 < count; ++y) {
        run += static_cast<double>(weights[static_cast<size_t>(y)]) + rowCost;
        const auto cut = static_cast<int32_t>(ends.size()) + 1;
        const int32_t rowsLeft = height - (y + 1);
        const bool due = run >= total * cut / count || rowsLeft == (count - cut) * kLeastBandRows;
        if (due && y + 1 - first >= kLeastBandRows && rowsLeft >= (count - cut) * kLeastBandRows) {
            ends.push_back(y + 1);
            first = y + 1;
        }
    }
    ends.push_back(height);
    return ends;
}

std::vector<Band> SplitIntoBands(int32_t height, int32_t capacity,
                                 const std::vector<int64_t>& weights) {
    const int32_t count =
        std::max(1, std::min({height / kLeastBandRows, kMostBands, capacity / kLeastBandEntries}));
    const std::vector<int32_t> ends = BalancedEnds(weights, count);
    std::vector<Band> bands(ends.size());
    // One more per row, so that no share is empty.
    std::vector<int64_t> needs;
    for (size_t b = 0; b < bands.size(); ++b) {
        Band& band = bands[b];
        band.first = b == 0 ? 0 : ends[b - 1];
        band.end = ends[b];
        band.weights.assign(weights.begin() + band.first, weights.begin() + band.end);
        needs.push_back(std::accumulate(band.weights.begin(), band.weights.end(), int64_t{0}) +
                        (band.end - band.first));
    }
    // The entries past the transparent one are shared out as the bands need them.
    const int64_t total = std::accumulate(needs.begin(), needs.end(), int64_t{0});
    int64_t given = 0;
    for (size_t b = 0; b < bands.size(); ++b) {
        const int64_t share =
            b + 1 == bands.size() ? (capacity - 1) - given : (capacity - 1) * needs[b] / total;
        bands[b].capacity = static_cast<int32_t>(share + 1);
        given += share;
    }
    return bands;
}

// Reduces one band's rows top to bottom, coding each row as it is placed.
void ReduceBand(const c32bppDIB& image, const Work& work, const RowColorLists& lists, Band& band,
                const std::function<void(size_t)>& rowDone) {
    const int32_t rows = band.end - band.first;
    RowColorReducer reducer(work.transparent, band.capacity, rows);
    reducer.SetDemand(std::move(band.weights));
    // The reducer knows the colours of the next two rows before it places a row.
    const auto announce = [&](int32_t r) {
        if (r < rows) {
            const auto y = static_cast<size_t>(band.first + r);
            for (size_t i = lists.starts[y]; i < lists.starts[y + 1]; ++i) {
                reducer.Expect(work.palette[static_cast<size_t>(lists.ids[i])], r);
            }
        }
    };
    announce(1);
    RowColorCollector current(image, work, lists);
    std::vector<int32_t> positions;
    std::vector<int32_t> newId(work.palette.size(), 0);
    std::vector<uint8_t> codes(static_cast<size_t>(work.width));
    for (int32_t r = 0; r < rows; ++r) {
        const int32_t y = band.first + r;
        announce(r + 2);
        const std::vector<RowColor>& colors = current.Collect(y);
        const size_t paletteBefore = reducer.Palette().size();
        const int32_t base = reducer.Place(colors, r, positions);
        for (size_t i = 0; i < colors.size(); ++i) {
            newId[static_cast<size_t>(current.Id(i))] = positions[i] + 1 - base;
        }
        const int32_t* row = work.pixels.data() + static_cast<size_t>(y) * work.width;
        for (int32_t x = 0; x < work.width; ++x) {
            const int32_t code = row[x] == 0 ? 0 : newId[static_cast<size_t>(row[x])];
            if (code < 0 || code > rle::kWindowSize) {
                band.uncodable = true;  // the windows are built so that it cannot
                return;
            }
            codes[static_cast<size_t>(x)] = static_cast<uint8_t>(code);
        }
        band.bases.push_back(base);
        const size_t at = band.runs.size();
        band.runs.resize(at + static_cast<size_t>(work.width));
        const uint8_t* end = CodeRow(codes.data(), work.width, band.runs.data() + at);
        band.runs.resize(static_cast<size_t>(end - band.runs.data()));
        band.runEnds.push_back(band.runs.size());
        rowDone(reducer.Palette().size() - paletteBefore);
    }
    band.palette = reducer.Palette();
    band.reduced = reducer.Reduced();
}

// Reduces the bands on as many threads as there are bands and cores; this thread
// takes its share and raises the progress events.
void ReduceBands(const c32bppDIB& image, const Work& work, const RowColorLists& lists,
                 std::vector<Band>& bands, EncodeEvents& events) {
    std::atomic<size_t> next{0};
    std::atomic<int32_t> rowsDone{0};
    std::atomic<size_t> entries{1};
    const auto takeBands = [&](const std::function<void(size_t)>& rowDone) {
        for (size_t b = next++; b < bands.size(); b = next++) {
            ReduceBand(image, work, lists, bands[b], rowDone);
        }
    };
    const auto cores = static_cast<size_t>(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::future<void>> running;
    for (size_t helper = 1; helper < std::min(bands.size(), cores); ++helper) {
        try {
            running.push_back(std::async(std::launch::async, takeBands, [&](size_t appended) {
                ++rowsDone;
                entries += appended;
            }));
        } catch (const std::system_error&) {
            break;  // no thread to be had: this one does the rest
        }
    }
    takeBands([&](size_t appended) {
        const int32_t done = ++rowsDone;
        events.Counted(3, "Reducing row colors", RowProgress(done - 1, work.height),
                       entries += appended);
    });
    for (std::future<void>& f : running) {
        f.get();  // passes on what the band's thread threw
    }
    // The other threads' last rows were not reported here.
    if (!running.empty()) {
        events.Counted(3, "Reducing row colors", 100.0f, entries);
    }
}

// Appends the bands' rows in order, each row's base moved on by the entries of
// the bands above, and makes their joined palette the picture's.
RowsOutcome JoinBands(const std::vector<Band>& bands, Work& work, std::vector<uint8_t>& data,
                      std::vector<size_t>& rowEnds, bool& reduced) {
    std::vector<PaletteKey> palette{work.transparent};
    for (const Band& band : bands) {
        if (band.uncodable) {
            return RowsOutcome::RowTooColorful;
        }
        const auto offset = static_cast<int32_t>(palette.size()) - 1;
        palette.insert(palette.end(), band.palette.begin() + 1, band.palette.end());
        if (palette.size() >= kPaletteOverflow) {
            return RowsOutcome::Overflow;
        }
        size_t start = 0;
        for (size_t r = 0; r < band.bases.size(); ++r) {
            const size_t rowStart = data.size();
            AppendBaseMarker(band.bases[r] + offset, data);
            data.insert(data.end(), band.runs.begin() + static_cast<ptrdiff_t>(start),
                        band.runs.begin() + static_cast<ptrdiff_t>(band.runEnds[r]));
            start = band.runEnds[r];
            if (data.size() - rowStart > kLargestRowSize) {
                return RowsOutcome::RowTooLong;
            }
            rowEnds.push_back(data.size());
        }
        reduced = reduced || band.reduced;
    }
    work.palette = std::move(palette);
    return RowsOutcome::Done;
}

}  // namespace

RowsOutcome ReduceAndCodeRows(const c32bppDIB& image, Work& work, int32_t capacity,
                              const RowColorLists& rows, std::vector<uint8_t>& data,
                              std::vector<size_t>& rowEnds, bool& reduced, EncodeEvents& events) {
    events.Counted(3, "Reducing row colors", 0, 1);
    std::vector<Band> bands =
        SplitIntoBands(work.height, capacity, PaceRows(rows, work.palette.size(), capacity));
    ReduceBands(image, work, rows, bands, events);
    return JoinBands(bands, work, data, rowEnds, reduced);
}

}  // namespace quenda::encoding
