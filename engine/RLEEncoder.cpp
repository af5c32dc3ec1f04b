#include "engine/RLEEncoder.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <functional>
#include <future>
#include <new>
#include <numeric>
#include <system_error>
#include <thread>

#include "engine/BestQuantizer.h"
#include "engine/PaletteKeyIndex.h"
#include "engine/PaletteLimits.h"
#include "engine/PaletteMerger.h"
#include "engine/RLEFormat.h"
#include "engine/RowColorReducer.h"
#include "engine/RowProgress.h"
#include "engine/RowWindowChooser.h"
#include "engine/ZorixImgEngineEvents.h"
#include "engine/modColor.h"
#include "engine/modMain.h"
#include "imaging/ByteOrder.h"
#include "imaging/PixelMath.h"
#include "imaging/c32bppDIB.h"

namespace quenda {

namespace {

// A palette of 65536 entries or more cannot be counted in the header.
constexpr size_t kPaletteOverflow = 65536;
// A larger row would be written but read back as a negative length.
constexpr size_t kLargestRowSize = rle::kLargestField;

// Raises the encoding events with the status text of this image.
class EncodeEvents {
  public:
    EncodeEvents(const std::string& fileName, ZorixImgEngineEvents& events, const c32bppDIB& image)
        : fileName_(fileName), events_(events) {
        status_ = "size: " + std::to_string(image.Width()) + "x" + std::to_string(image.Height()) +
                  " | color palette: 16Bit " + (image.Alpha() ? "A" : "") + "RGB";
    }

    void Started() { events_.RLEEncodingStarted(fileName_); }
    void Complete(bool success, bool overflow) {
        events_.RLEEncodingComplete(fileName_, success, overflow);
    }
    // An event whose status is the bare status text and whose count is 0.
    void Plain(int16_t step, const char* action, float progress) {
        events_.RLEEncoding(fileName_, step, action, status_, progress, 0);
    }
    // An event whose status carries the colour count.
    void Counted(int16_t step, const char* action, float progress, size_t count) {
        const auto colors = static_cast<int32_t>(count);
        events_.RLEEncoding(fileName_, step, action,
                            status_ + ", " + std::to_string(colors) + " colors", progress, colors);
    }

  private:
    const std::string& fileName_;
    ZorixImgEngineEvents& events_;
    std::string status_;
};

// Per-channel conversions of a stored (premultiplied) pixel to the palette key.
struct KeyTables {
    std::array<uint8_t, 256> red5{}, green6{}, blue5{}, alpha33{};
    std::vector<uint8_t> straight;  // [alpha * 256 + component]

    KeyTables() : straight(256 * 256) {
        for (unsigned v = 0; v < 256; ++v) {
            const uint16_t r = RGBTo565(v), g = RGBTo565(v << 8), b = RGBTo565(v << 16);
            red5[v] = static_cast<uint8_t>(r >> 11);
            green6[v] = static_cast<uint8_t>(g >> 5);
            blue5[v] = static_cast<uint8_t>(b);
            alpha33[v] = AlphaTo33(static_cast<uint8_t>(v));
            for (unsigned a = 0; a < 256; ++a) {
                straight[a * 256 + v] =
                    Unpremultiply(static_cast<uint8_t>(v), static_cast<uint8_t>(a));
            }
        }
    }

    // The key of the colour GetPixel gives un-premultiplied, and the alpha level.
    PaletteKey Key(const uint8_t* p) const {
        const uint8_t* row = straight.data() + p[3] * 256;
        const unsigned color =
            (red5[row[p[2]]] << 11) | (green6[row[p[1]]] << 5) | blue5[row[p[0]]];
        return MakePaletteKey(static_cast<uint16_t>(color), alpha33[p[3]]);
    }
};

const KeyTables& Tables() {
    static const KeyTables tables;
    return tables;
}

// The working state of one encoding: the palette as keys and, per pixel (rows top
// to bottom), the position of its colour in the palette (0 for the transparent
// entry). Until the rows are coded the palette holds each colour once.
struct Work {
    int32_t width = 0;
    int32_t height = 0;
    bool hasAlpha = false;
    PaletteKey transparent = 0;
    std::vector<PaletteKey> palette;
    std::vector<int32_t> pixels;
    bool sorted = false;  // the palette is in order of frequency
};

// Position of a pixel's key in the palette, appending it when new.
int32_t PositionOf(PaletteKey key, Work& work, PaletteKeyIndex& index) {
    if (key == work.transparent) {
        return 0;
    }
    int32_t position = index.Find(key);
    if (position < 0) {
        position = static_cast<int32_t>(work.palette.size());
        index.Insert(key, position);
        work.palette.push_back(key);
    }
    return position;
}

// Reads the pixels and collects the palette in order of first appearance.
void CollectPalette(const c32bppDIB& image, Work& work, EncodeEvents& events) {
    const KeyTables& tables = Tables();
    work.palette.assign(1, work.transparent);
    work.pixels.assign(static_cast<size_t>(work.width) * work.height, 0);
    PaletteKeyIndex index;
    // Neighbouring pixels are often equal: the last stored pixel and its position
    // spare the conversion and the lookup.
    uint32_t lastStored = 0;
    int32_t lastPosition = -1;
    for (int32_t y = 0; y < work.height; ++y) {
        const uint8_t* p = image.BitsPointer() + image.PixelOffset(0, y);
        int32_t* out = work.pixels.data() + static_cast<size_t>(y) * work.width;
        for (int32_t x = 0; x < work.width; ++x, p += 4) {
            uint32_t stored;
            std::memcpy(&stored, p, 4);
            if (stored != lastStored || lastPosition < 0) {
                lastStored = stored;
                lastPosition = PositionOf(tables.Key(p), work, index);
            }
            out[x] = lastPosition;
        }
        events.Counted(1, "Loading color palette", RowProgress(y, work.height),
                       work.palette.size());
    }
}

// Counts each colour and orders the palette by frequency, most frequent first;
// equal counts keep their order of appearance.
void SortByFrequency(Work& work, EncodeEvents& events) {
    const size_t count = work.palette.size();
    events.Counted(2, "Analyzing palette", 0, count);
    std::vector<uint32_t> counter(count, 0);
    for (int32_t y = 0; y < work.height; ++y) {
        const int32_t* row = work.pixels.data() + static_cast<size_t>(y) * work.width;
        for (int32_t x = 0; x < work.width; ++x) {
            ++counter[row[x]];
        }
        events.Counted(2, "Analyzing palette...", RowProgress(y, work.height), count);
    }
    events.Counted(2, "Sorting palette...", -1, count);
    std::vector<int32_t> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin() + 1, order.end(),
                     [&](int32_t a, int32_t b) { return counter[a] > counter[b]; });
    std::vector<int32_t> moved(count);
    std::vector<PaletteKey> sorted(count);
    for (size_t i = 0; i < count; ++i) {
        moved[order[i]] = static_cast<int32_t>(i);
        sorted[i] = work.palette[order[i]];
    }
    work.palette.swap(sorted);
    for (int32_t& p : work.pixels) {
        p = moved[p];
    }
    work.sorted = true;
}

void MergeSimilar(Work& work, float accuracy, int32_t maxPalette, EncodeEvents& events) {
    events.Counted(2, "Scanning color palette. Please wait...", -1, work.palette.size());
    const std::vector<int32_t> moved =
        PaletteMerger::Run(work.palette, accuracy, maxPalette, [&](int32_t remaining) {
            events.Counted(2, "Reducing color palette...", -1, static_cast<size_t>(remaining));
        });
    for (int32_t& p : work.pixels) {
        p = moved[p];
    }
}

// The best-quality reduction to the palette limit, or, for an accuracy alone, to
// the size the similarity merging would reach.
void QuantizeBest(const c32bppDIB& image, Work& work, float accuracy, int32_t maxPalette,
                  bool dither, EncodeEvents& events) {
    int32_t entries = maxPalette;
    if (entries <= 0 && work.palette.size() >= kPaletteOverflow) {
        return;  // the rows are reduced within the largest palette instead
    }
    if (entries <= 0) {
        std::vector<PaletteKey> merged = work.palette;
        PaletteMerger::Run(merged, accuracy, 0, [](int32_t) {});
        entries = static_cast<int32_t>(std::min<size_t>(merged.size(), kPaletteOverflow - 1));
    }
    events.Counted(2, "Reducing color palette...", -1, work.palette.size());
    BestQuantizer::Run(image, work.palette, work.pixels, std::max(entries - 1, 1), dither);
    events.Counted(2, "Reducing color palette...", -1, work.palette.size());
}

// Writes the run of `length` pixels of `code`; returns the end of what it wrote.
uint8_t* FlushRun(uint8_t* out, uint8_t code, int length) {
    if (length < 4) {
        for (int i = 0; i < length; ++i) {
            *out++ = code;
        }
    } else if (code != 0) {
        *out++ = rle::kColorRun;
        *out++ = code;
        *out++ = static_cast<uint8_t>(length);
    } else {
        *out++ = rle::kTransparentRun;
        *out++ = static_cast<uint8_t>(length);
    }
    return out;
}

// Run-codes one row of codes at `out`, which has room for `width` bytes: no run
// writes more bytes than it has pixels. Returns the end.
uint8_t* CodeRow(const uint8_t* codes, int32_t width, uint8_t* out) {
    if (width <= 0) {
        return out;
    }
    uint8_t previous = codes[0];
    int length = 1;
    for (int32_t x = 1; x < width; ++x) {
        if (codes[x] == previous && length < 255) {
            ++length;
        } else {
            out = FlushRun(out, previous, length);
            previous = codes[x];
            length = 1;
        }
    }
    return FlushRun(out, previous, length);
}

enum class RowsOutcome { Done, Overflow, RowTooColorful, RowTooLong };

// Codes of the colours of one row for palettes of more than 250 entries, where
// each row addresses a window of the palette.
class WindowedCodes {
  public:
    explicit WindowedCodes(std::vector<PaletteKey>& palette)
        : palette_(palette),
          chooser_(palette),
          seenInRow_(palette.size(), -1),
          code_(palette.size(), 0) {}

    // Chooses row y's window (appending copies as needed) and the code of each of
    // its colours; sets base.
    RowsOutcome Prepare(const int32_t* row, int32_t width, int32_t y, int32_t& base) {
        rowColors_.clear();
        for (int32_t x = 0; x < width; ++x) {
            if (row[x] != 0 && seenInRow_[row[x]] != y) {
                seenInRow_[row[x]] = y;
                rowColors_.push_back(row[x]);
            }
        }
        base = chooser_.ChooseBase(rowColors_);
        if (palette_.size() >= kPaletteOverflow) {
            return RowsOutcome::Overflow;
        }
        for (const int32_t id : rowColors_) {
            code_[id] = chooser_.Code(id, base);
            if (code_[id] < 0) {
                return RowsOutcome::RowTooColorful;
            }
        }
        return RowsOutcome::Done;
    }

    uint8_t Code(int32_t id) const { return static_cast<uint8_t>(code_[id]); }

  private:
    std::vector<PaletteKey>& palette_;
    RowWindowChooser chooser_;
    std::vector<int32_t> seenInRow_;
    std::vector<int32_t> code_;
    std::vector<int32_t> rowColors_;
};

// Appends the marker of a row's window when it does not start at the first entry.
void AppendBaseMarker(int32_t base, std::vector<uint8_t>& data) {
    if (base > 1) {
        data.push_back(rle::kBaseMarker);
        bytes::AppendLE16(data, static_cast<uint16_t>(base - 1));
    }
}

// Appends the coded row at the end of data: the base marker, then the runs.
void AppendRow(const uint8_t* codes, int32_t width, int32_t base, std::vector<uint8_t>& data) {
    AppendBaseMarker(base, data);
    const size_t runsStart = data.size();
    // A row never codes to more bytes than pixels.
    data.resize(runsStart + static_cast<size_t>(width));
    const uint8_t* end = CodeRow(codes, width, data.data() + runsStart);
    data.resize(static_cast<size_t>(end - data.data()));
}

// Codes every row into `data`, row r ending at rowEnds[r].
RowsOutcome CodeRows(Work& work, std::vector<uint8_t>& data, std::vector<size_t>& rowEnds,
                     EncodeEvents& events) {
    // Smaller palettes code each colour by its index, with no base.
    const bool windowed = work.palette.size() > static_cast<size_t>(rle::kDirectPaletteLimit);
    WindowedCodes windows(work.palette);
    std::vector<uint8_t> codes(static_cast<size_t>(work.width));
    data.reserve(static_cast<size_t>(work.width) * work.height / 2);
    for (int32_t y = 0; y < work.height; ++y) {
        const int32_t* row = work.pixels.data() + static_cast<size_t>(y) * work.width;
        int32_t base = 1;
        if (windowed) {
            const RowsOutcome outcome = windows.Prepare(row, work.width, y, base);
            if (outcome != RowsOutcome::Done) {
                return outcome;
            }
        }
        for (int32_t x = 0; x < work.width; ++x) {
            const int32_t id = row[x];
            codes[x] = id == 0 ? 0 : (windowed ? windows.Code(id) : static_cast<uint8_t>(id));
        }
        const size_t rowStart = data.size();
        AppendRow(codes.data(), work.width, base, data);
        if (data.size() - rowStart > kLargestRowSize) {
            return RowsOutcome::RowTooLong;
        }
        rowEnds.push_back(data.size());
        events.Counted(3, "Encoding bitmap", RowProgress(y, work.height), work.palette.size());
    }
    return RowsOutcome::Done;
}

// Per row, how many distinct colours it holds, and how many of them the row above
// does not have.
struct RowCounts {
    std::vector<int64_t> fresh;
    int32_t mostColors = 0;
};

RowCounts CountRowColors(const Work& work) {
    RowCounts counts;
    counts.fresh.assign(static_cast<size_t>(work.height), 0);
    std::vector<int32_t> lastRow(work.palette.size(), -2);
    for (int32_t y = 0; y < work.height; ++y) {
        const int32_t* row = work.pixels.data() + static_cast<size_t>(y) * work.width;
        int32_t distinct = 0;
        for (int32_t x = 0; x < work.width; ++x) {
            const int32_t id = row[x];
            if (id != 0 && lastRow[id] != y) {
                counts.fresh[static_cast<size_t>(y)] += lastRow[id] == y - 1 ? 0 : 1;
                lastRow[id] = y;
                ++distinct;
            }
        }
        counts.mostColors = std::max(counts.mostColors, distinct);
    }
    return counts;
}

// The distinct colours of one row with the mean source colour of their pixels.
class RowColorCollector {
  public:
    RowColorCollector(const c32bppDIB& image, const Work& work)
        : image_(image), work_(work), slot_(work.palette.size(), -1) {}

    const std::vector<RowColor>& Colors() const { return colors_; }

    const std::vector<RowColor>& Collect(int32_t y) {
        const KeyTables& tables = Tables();
        const int32_t* row = work_.pixels.data() + static_cast<size_t>(y) * work_.width;
        const uint8_t* p = image_.BitsPointer() + image_.PixelOffset(0, y);
        colors_.clear();
        sums_.clear();
        ids_.clear();
        for (int32_t x = 0; x < work_.width; ++x, p += 4) {
            const int32_t id = row[x];
            if (id == 0) {
                continue;
            }
            if (slot_[id] < 0) {
                slot_[id] = static_cast<int32_t>(ids_.size());
                ids_.push_back(id);
                sums_.push_back({});
            }
            const uint8_t* straight = tables.straight.data() + p[3] * 256;
            std::array<uint32_t, 4>& s = sums_[static_cast<size_t>(slot_[id])];
            s[0] += straight[p[2]];
            s[1] += straight[p[1]];
            s[2] += straight[p[0]];
            s[3] += 1;
        }
        for (size_t i = 0; i < ids_.size(); ++i) {
            const PaletteKey key = work_.palette[static_cast<size_t>(ids_[i])];
            const std::array<uint32_t, 4>& s = sums_[i];
            const double perPixel = 1.0 / s[3];
            const auto mean = [&](int c) { return static_cast<float>(s[c] * perPixel); };
            colors_.push_back({key,
                               {PointOf(mean(0), mean(1), mean(2), KeyAlpha(key)),
                                static_cast<float>(s[3]) * OpacityWeight(KeyAlpha(key))}});
            slot_[ids_[i]] = -1;
        }
        return colors_;
    }
    // The palette id of colour i of the last row collected.
    int32_t Id(size_t i) const { return ids_[i]; }

  private:
    const c32bppDIB& image_;
    const Work& work_;
    std::vector<int32_t> slot_;
    std::vector<int32_t> ids_;
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
    int32_t capacity = 0;        // entries of its palette, the transparent one included
    std::vector<int64_t> fresh;  // per row, its colours that the row above does not have
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

std::vector<Band> SplitIntoBands(int32_t height, int32_t capacity,
                                 const std::vector<int64_t>& fresh) {
    const int32_t count =
        std::max(1, std::min({height / kLeastBandRows, kMostBands, capacity / kLeastBandEntries}));
    std::vector<Band> bands(static_cast<size_t>(count));
    // One more per row, as a row that brings nothing new still needs a little.
    std::vector<int64_t> needs;
    for (int32_t b = 0; b < count; ++b) {
        Band& band = bands[static_cast<size_t>(b)];
        band.first = static_cast<int32_t>(static_cast<int64_t>(height) * b / count);
        band.end = static_cast<int32_t>(static_cast<int64_t>(height) * (b + 1) / count);
        band.fresh.assign(fresh.begin() + band.first, fresh.begin() + band.end);
        needs.push_back(std::accumulate(band.fresh.begin(), band.fresh.end(), int64_t{0}) +
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
void ReduceBand(const c32bppDIB& image, const Work& work, Band& band,
                const std::function<void(size_t)>& rowDone) {
    const int32_t rows = band.end - band.first;
    RowColorReducer reducer(work.transparent, band.capacity, rows);
    reducer.SetDemand(std::move(band.fresh));
    // Two collectors: the next row's colours are known before a row is placed.
    RowColorCollector collectors[2] = {{image, work}, {image, work}};
    std::vector<int32_t> positions;
    std::vector<int32_t> newId(work.palette.size(), 0);
    std::vector<uint8_t> codes(static_cast<size_t>(work.width));
    if (rows > 0) {
        collectors[0].Collect(band.first);
    }
    for (int32_t r = 0; r < rows; ++r) {
        const int32_t y = band.first + r;
        RowColorCollector& current = collectors[r % 2];
        if (r + 1 < rows) {
            for (const RowColor& c : collectors[(r + 1) % 2].Collect(y + 1)) {
                reducer.Expect(c.key, r + 1);
            }
        }
        const std::vector<RowColor>& colors = current.Colors();
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
void ReduceBands(const c32bppDIB& image, const Work& work, std::vector<Band>& bands,
                 EncodeEvents& events) {
    std::atomic<size_t> next{0};
    std::atomic<int32_t> rowsDone{0};
    std::atomic<size_t> entries{1};
    const auto takeBands = [&](const std::function<void(size_t)>& rowDone) {
        for (size_t b = next++; b < bands.size(); b = next++) {
            ReduceBand(image, work, bands[b], rowDone);
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

// Rebuilds the palette so that every row fits a window and the palette fits a
// file, replacing colours where they do not, and codes each row as it goes.
RowsOutcome ReduceAndCodeRows(const c32bppDIB& image, Work& work, int32_t capacity,
                              const std::vector<int64_t>& fresh, std::vector<uint8_t>& data,
                              std::vector<size_t>& rowEnds, bool& reduced, EncodeEvents& events) {
    events.Counted(3, "Reducing row colors", 0, 1);
    std::vector<Band> bands = SplitIntoBands(work.height, capacity, fresh);
    ReduceBands(image, work, bands, events);
    return JoinBands(bands, work, data, rowEnds, reduced);
}

std::vector<uint8_t> BuildFile(const Work& work, const std::vector<uint8_t>& data,
                               const std::vector<size_t>& rowEnds) {
    const size_t count = work.palette.size();
    std::vector<uint8_t> file;
    file.reserve(rle::kHeaderSize + 3 * count + 3 * rowEnds.size() + data.size());
    rle::Header header;
    header.hasAlpha = work.hasAlpha;
    header.width = static_cast<int16_t>(work.width);
    header.height = static_cast<int16_t>(work.height);
    header.entryCount = static_cast<uint16_t>(count);
    header.rowCount = static_cast<int16_t>(work.height);
    file.resize(rle::kHeaderSize);
    rle::WriteHeader(header, file.data());
    for (size_t i = 1; i < count; ++i) {
        bytes::AppendLE16(file, KeyColor(work.palette[i]));
    }
    if (work.hasAlpha) {
        file.push_back(0);  // the transparent entry
        for (size_t i = 1; i < count; ++i) {
            file.push_back(KeyAlpha(work.palette[i]));
        }
    }
    size_t start = 0;
    for (const size_t end : rowEnds) {
        const size_t length = end - start;
        if (length < 255) {
            file.push_back(static_cast<uint8_t>(length));
        } else {
            file.insert(file.end(), {rle::kLongRowLength, static_cast<uint8_t>(length >> 8),
                                     static_cast<uint8_t>(length & 0xFF)});
        }
        start = end;
    }
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

RLEEncodeResult Fail(FailureKind kind, const char* reason, bool overflow = false) {
    RLEEncodeResult result;
    result.paletteOverflow = overflow;
    result.failure = Failure::Of(kind, "RLE encoder", reason);
    return result;
}

RLEEncodeResult Finish(const Work& work, const std::vector<uint8_t>& data,
                       const std::vector<size_t>& rowEnds, bool rowsReduced, EncodeEvents& events) {
    events.Counted(3, "Building file structure...", -1, work.palette.size());
    RLEEncodeResult result;
    result.bytes = BuildFile(work, data, rowEnds);
    result.success = true;
    result.colorCount = static_cast<int32_t>(work.palette.size()) - 1;
    result.rowsReduced = rowsReduced;
    return result;
}

RLEEncodeResult FailRows(RowsOutcome outcome) {
    switch (outcome) {
        case RowsOutcome::Overflow:
            return Fail(FailureKind::PaletteOverflow, "the palette needs more than 65535 entries",
                        true);
        case RowsOutcome::RowTooColorful:
            return Fail(FailureKind::PaletteOverflow, kTooManyRowColorsReason);
        case RowsOutcome::RowTooLong:
        case RowsOutcome::Done:
            break;
    }
    return Fail(FailureKind::TooLarge, "a row codes to more than 32767 bytes");
}

// Codes the rows as the palette stands when every row fits; otherwise reduces the
// rows' colours first. The palette is restored before a reduction, since a failed
// attempt may have appended copies.
// Whether every row can be coded with the palette as it is.
bool RowsFit(const Work& work, const RowCounts& counts) {
    return work.palette.size() < kPaletteOverflow && counts.mostColors <= rle::kWindowSize;
}

RLEEncodeResult CodeImage(const c32bppDIB& image, Work& work, int32_t maxPalette, RowCounts counts,
                          EncodeEvents& events) {
    std::vector<uint8_t> data;
    std::vector<size_t> rowEnds;
    if (RowsFit(work, counts)) {
        const size_t collected = work.palette.size();
        const RowsOutcome outcome = CodeRows(work, data, rowEnds, events);
        if (outcome == RowsOutcome::Done) {
            return Finish(work, data, rowEnds, false, events);
        }
        if (outcome == RowsOutcome::RowTooLong) {
            return FailRows(outcome);
        }
        work.palette.resize(collected);
        data.clear();
        rowEnds.clear();
    }
    const int32_t capacity = maxPalette > 0 ? std::max(maxPalette, 2) : 65535;
    bool reduced = false;
    const RowsOutcome outcome =
        ReduceAndCodeRows(image, work, capacity, counts.fresh, data, rowEnds, reduced, events);
    if (outcome != RowsOutcome::Done) {
        return FailRows(outcome);
    }
    return Finish(work, data, rowEnds, reduced, events);
}

RLEEncodeResult Encode(const c32bppDIB& image, float accuracy, int32_t maxPalette,
                       const RLEEncodeOptions& options, EncodeEvents& events) {
    Work work;
    work.width = image.Width();
    work.height = image.Height();
    work.hasAlpha = image.Alpha();
    // Pure black of an opaque image is the transparent entry itself.
    work.transparent = MakePaletteKey(0, work.hasAlpha ? 0 : kMaxAlpha33);
    // A larger side would be read back as a negative size.
    if (work.width < 0 || work.height < 0 || work.width > rle::kLargestField ||
        work.height > rle::kLargestField ||
        (work.width > 0 && work.height > 0 && image.BitsPointer() == nullptr)) {
        return Fail(FailureKind::TooLarge, "the image is too large for a device bitmap");
    }
    events.Plain(1, "Reading image into memory", -1);
    events.Plain(1, "Loading color palette", 0);
    CollectPalette(image, work, events);
    const bool limited = accuracy < 100.0f || maxPalette > 0;
    // A palette a file cannot count was never written by the similarity merging, so
    // no stored bytes depend on it: a limit there goes to the quantizer, which also
    // takes such palettes in a fraction of the merging's time.
    const bool countable = work.palette.size() < kPaletteOverflow;
    const bool large = work.palette.size() > static_cast<size_t>(rle::kDirectPaletteLimit);
    if (large && limited) {
        SortByFrequency(work, events);
        if (maxPalette > 0 && (options.reduction == RLEReduction::Best || !countable)) {
            QuantizeBest(image, work, accuracy, maxPalette, options.dither, events);
        } else if (limited && options.reduction == RLEReduction::Best) {
            QuantizeBest(image, work, accuracy, maxPalette, options.dither, events);
        } else if (limited && countable) {
            MergeSimilar(work, accuracy, maxPalette, events);
        }
    }

    // Only the windows of rows coded as they are depend on the palette's order: rows
    // that need reducing get a palette of their own, so they are spared the sorting.
    RowCounts counts = CountRowColors(work);
    if (large && !work.sorted && RowsFit(work, counts)) {
        SortByFrequency(work, events);
    }
    {
        const TraceSection section;
        TraceLine("starting encode annoucement");
        events.Counted(3, "Encoding bitmap", 0, work.palette.size());
        TraceLine("starting encode");
    }
    return CodeImage(image, work, maxPalette, std::move(counts), events);
}

}  // namespace

RLEEncodeResult EncodeRLE(const std::string& fileName, const c32bppDIB& image, float accuracy,
                          int32_t maxPalette, ZorixImgEngineEvents& events) {
    return EncodeRLE(fileName, image, accuracy, maxPalette, RLEEncodeOptions{}, events);
}

RLEEncodeResult EncodeRLE(const std::string& fileName, const c32bppDIB& image, float accuracy,
                          int32_t maxPalette, const RLEEncodeOptions& options,
                          ZorixImgEngineEvents& events) {
    // The engine keeps its accuracy within its limits; a threshold that is not a
    // number would never let a size-limited reduction end.
    if (std::isnan(accuracy)) {
        accuracy = kMinColorAccuracy;
    }
    EncodeEvents raise(fileName, events, image);
    raise.Started();
    RLEEncodeResult result;
    try {
        result = Encode(image, accuracy, maxPalette, options, raise);
    } catch (const std::bad_alloc&) {
        result = Fail(FailureKind::OutOfMemory, "not enough memory to encode the image");
    }
    raise.Complete(result.success, result.paletteOverflow);
    return result;
}

}  // namespace quenda
