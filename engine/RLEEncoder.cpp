#include "engine/RLEEncoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <numeric>

#include "engine/BestQuantizer.h"
#include "engine/PaletteKeyIndex.h"
#include "engine/PaletteLimits.h"
#include "engine/PaletteMerger.h"
#include "engine/RLEEncodeWork.h"
#include "engine/RLEFormat.h"
#include "engine/RLERowReduction.h"
#include "engine/RowProgress.h"
#include "engine/RowWindowChooser.h"
#include "engine/ZorixImgEngineEvents.h"
#include "engine/modColor.h"
#include "engine/modMain.h"
#include "imaging/ByteOrder.h"
#include "imaging/c32bppDIB.h"

namespace quenda {

namespace {

using namespace encoding;

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
// equal counts keep their order of appearance. The lists of the rows' colours,
// when given, follow the new positions.
void SortByFrequency(Work& work, EncodeEvents& events, RowColorLists* lists = nullptr) {
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
    if (lists != nullptr) {
        for (int32_t& id : lists->ids) {
            id = moved[id];
        }
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

// Whether every row can be coded with the palette as it is.
bool RowsFit(const Work& work, const RowColorLists& rows) {
    return work.palette.size() < kPaletteOverflow && rows.most <= rle::kWindowSize;
}

// Codes the rows as the palette stands when every row fits; otherwise reduces the
// rows' colours first. The palette is restored before a reduction, since a failed
// attempt may have appended copies.
RLEEncodeResult CodeImage(const c32bppDIB& image, Work& work, int32_t maxPalette,
                          const RowColorLists& rows, EncodeEvents& events) {
    std::vector<uint8_t> data;
    std::vector<size_t> rowEnds;
    if (RowsFit(work, rows)) {
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
        ReduceAndCodeRows(image, work, capacity, rows, data, rowEnds, reduced, events);
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
    RowColorLists rows = ListRowColors(work);
    if (large && !work.sorted && RowsFit(work, rows)) {
        SortByFrequency(work, events, &rows);
    }
    {
        const TraceSection section;
        TraceLine("starting encode annoucement");
        events.Counted(3, "Encoding bitmap", 0, work.palette.size());
        TraceLine("starting encode");
    }
    return CodeImage(image, work, maxPalette, rows, events);
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
