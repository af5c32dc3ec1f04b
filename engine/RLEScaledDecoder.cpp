#include "engine/RLEScaledDecoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/RLEFile.h"
#include "engine/RLERowTokens.h"
#include "engine/RLERowWriter.h"
#include "imaging/PixelMath.h"

namespace quenda {

namespace {

using rle::RowStatus;

// The picture's size as the full decoder takes it: a negative height counts as its
// magnitude there, so it does here.
int32_t PictureHeight(const rle::Header& h) {
    return h.height < 0 ? -int32_t{h.height} : int32_t{h.height};
}

// A stored (premultiplied BGRA) pixel in the target's byte order.
uint32_t Convert(uint32_t stored, RLEPixelOrder order) {
    if (order == RLEPixelOrder::PremultipliedBGRA) {
        return stored;
    }
    uint8_t p[4];
    std::memcpy(p, &stored, 4);
    const uint8_t a = p[3];
    uint8_t b = a == 0 ? 0 : Unpremultiply(p[0], a);
    const uint8_t g = a == 0 ? 0 : Unpremultiply(p[1], a);
    uint8_t r = a == 0 ? 0 : Unpremultiply(p[2], a);
    if (order == RLEPixelOrder::StraightRGBA) {
        std::swap(b, r);
    }
    const uint8_t out[4] = {b, g, r, a};
    uint32_t word = 0;
    std::memcpy(&word, out, 4);
    return word;
}

// A premultiplied pixel made opaque, when asked: as if drawn over black.
uint32_t Opaque(uint32_t stored, bool opaque) {
    if (!opaque) {
        return stored;
    }
    uint8_t p[4];
    std::memcpy(p, &stored, 4);
    p[3] = 255;
    std::memcpy(&stored, p, 4);
    return stored;
}

uint8_t* TargetRow(const RLETarget& target, int32_t y) {
    return target.top + target.stride * static_cast<ptrdiff_t>(y);
}

// The source span [start, end) of target position `i` of `to` along a side of `from`.
struct Span {
    int32_t start;
    int32_t end;
};
Span BoxOf(int32_t i, int32_t from, int32_t to) {
    const auto start = static_cast<int32_t>(int64_t{i} * from / to);
    const auto end = static_cast<int32_t>(int64_t{i + 1} * from / to);
    return {start, std::max(end, start + 1)};
}

// Target columns as groups of picture columns. When shrinking, the groups are the
// boxes; when enlarging, each picture column is a group that several targets share.
struct ColumnGroups {
    std::vector<int32_t> groupOf;  // per picture column
    std::vector<int32_t> end;      // per group: first column after it
    std::vector<int32_t> width;    // per group
    std::vector<int32_t> source;   // per target column: its group
};

ColumnGroups MakeGroups(int32_t from, int32_t to) {
    ColumnGroups c;
    const int32_t groups = std::min(from, to);
    c.groupOf.resize(static_cast<size_t>(from));
    c.end.resize(static_cast<size_t>(groups));
    c.width.resize(static_cast<size_t>(groups));
    for (int32_t g = 0; g < groups; ++g) {
        const Span s = to <= from ? BoxOf(g, from, to) : Span{g, g + 1};
        std::fill(c.groupOf.begin() + s.start, c.groupOf.begin() + s.end, g);
        c.end[static_cast<size_t>(g)] = s.end;
        c.width[static_cast<size_t>(g)] = s.end - s.start;
    }
    c.source.resize(static_cast<size_t>(to));
    for (int32_t x = 0; x < to; ++x) {
        c.source[static_cast<size_t>(x)] = to <= from ? x : BoxOf(x, from, to).start;
    }
    return c;
}

// Adds each run of a row into the sums of the column groups it crosses: the work
// follows the runs, not the pixels, so a large picture costs what its file costs.
// Two channels share one 64-bit word in 32-bit lanes (blue and red, green and alpha),
// folded into full totals before a lane could overflow.
class BoxSink {
  public:
    BoxSink(const ColumnGroups& groups, int32_t width)
        : groups_(groups),
          width_(width),
          lanes_(groups.end.size() * 2, 0),
          totals_(groups.end.size() * 4, 0) {
        const int32_t widest = *std::max_element(groups.width.begin(), groups.width.end());
        foldEvery_ = std::max<int64_t>(1, int64_t{UINT32_MAX} / (255 * int64_t{widest}));
    }

    void clear() {
        std::fill(lanes_.begin(), lanes_.end(), 0);
        std::fill(totals_.begin(), totals_.end(), 0);
        rows_ = 0;
    }

    void startRow() { x_ = 0; }

    void endRow() {
        if (++rows_ == foldEvery_) {
            fold();
        }
    }

    void put(uint32_t pixel, uint32_t count) {
        int64_t x = x_;
        const int64_t end = std::min<int64_t>(x + count, width_);
        x_ += count;
        if (pixel == 0) {
            return;
        }
        uint8_t p[4];
        std::memcpy(p, &pixel, 4);
        const uint64_t blueRed = p[0] | (uint64_t{p[2]} << 32);
        const uint64_t greenAlpha = p[1] | (uint64_t{p[3]} << 32);
        while (x < end) {
            const auto g = static_cast<size_t>(groups_.groupOf[static_cast<size_t>(x)]);
            const int64_t stop = std::min<int64_t>(end, groups_.end[g]);
            const auto n = static_cast<uint64_t>(stop - x);
            lanes_[2 * g] += n * blueRed;
            lanes_[2 * g + 1] += n * greenAlpha;
            x = stop;
        }
    }

    // The mean of each group over `rows` picture rows, as target row pixels.
    void emit(uint8_t* out, int32_t rows, const RLETarget& target) {
        fold();
        for (size_t x = 0; x < groups_.source.size(); ++x) {
            const auto g = static_cast<size_t>(groups_.source[x]);
            const uint64_t area = static_cast<uint64_t>(groups_.width[g]) * rows;
            const uint64_t* sum = &totals_[g * 4];
            uint8_t mean[4];
            for (int c = 0; c < 4; ++c) {
                mean[c] = static_cast<uint8_t>((sum[c] + area / 2) / area);
            }
            uint32_t stored = 0;
            std::memcpy(&stored, mean, 4);
            const uint32_t word = Convert(Opaque(stored, target.opaque), target.order);
            std::memcpy(out + 4 * x, &word, 4);
        }
    }

  private:
    void fold() {
        for (size_t g = 0; g < groups_.end.size(); ++g) {
            uint64_t* total = &totals_[g * 4];
            total[0] += lanes_[2 * g] & UINT32_MAX;
            total[1] += lanes_[2 * g + 1] & UINT32_MAX;
            total[2] += lanes_[2 * g] >> 32;
            total[3] += lanes_[2 * g + 1] >> 32;
        }
        std::fill(lanes_.begin(), lanes_.end(), 0);
        rows_ = 0;
    }

    const ColumnGroups& groups_;
    int32_t width_;
    int64_t x_ = 0;
    int64_t rows_ = 0;              // rows added since the last fold
    int64_t foldEvery_ = 1;         // rows a lane takes without overflowing
    std::vector<uint64_t> lanes_;   // blue | red << 32, green | alpha << 32 per group
    std::vector<uint64_t> totals_;  // blue, green, red, alpha per group
};

Failure RowFailure(RowStatus status, int32_t y) {
    if (status == RowStatus::MissingEntry) {
        return Failure::Of(FailureKind::Malformed, "RLE",
                           "row " + std::to_string(y) + " uses a colour the palette does not have");
    }
    return Failure::Of(FailureKind::Truncated, "RLE",
                       "row " + std::to_string(y) + " ends inside a token");
}

// Fetches and walks picture row y into `sink`; false with `reason` set on failure.
template <typename Sink>
bool WalkPictureRow(const RLERowSource& source, int32_t y, const rle::EntryPixels& palette,
                    Sink& sink, Failure& reason) {
    std::span<const uint8_t> bytes;
    if (!source(y, bytes)) {
        reason = Failure::Of(FailureKind::Truncated, "RLE",
                             "the file is shorter than its sections claim");
        return false;
    }
    const RowStatus status = rle::WalkRow(bytes, palette, sink);
    if (status != RowStatus::Ok) {
        reason = RowFailure(status, y);
        return false;
    }
    return true;
}

bool Aligned(const RLETarget& target) {
    return reinterpret_cast<uintptr_t>(target.top) % 4 == 0 && target.stride % 4 == 0;
}

// At the picture's own size: each entry converted once, rows written as the full
// decoder writes them.
bool DecodeDirect(const rle::ParsedFile& file, const RLERowSource& source, const RLETarget& target,
                  Failure& reason) {
    rle::EntryPixels palette = rle::BuildEntryPixels(file);
    for (uint32_t& pixel : palette.pixels) {
        pixel = Convert(Opaque(pixel, target.opaque), target.order);
    }
    const uint32_t empty = Convert(Opaque(0, target.opaque), target.order);
    for (int32_t y = 0; y < target.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(TargetRow(target, y));
        rle::RowWriter writer(row, target.width);
        if (!WalkPictureRow(source, y, palette, writer, reason)) {
            return false;
        }
        writer.finishWith(empty);
    }
    return true;
}

bool DecodeBoxes(const rle::ParsedFile& file, const RLERowSource& source, const RLETarget& target,
                 Failure& reason) {
    const rle::EntryPixels palette = rle::BuildEntryPixels(file);
    const int32_t width = file.header.width;
    const int32_t height = PictureHeight(file.header);
    const ColumnGroups groups = MakeGroups(width, target.width);
    BoxSink sink(groups, width);
    int32_t lastStart = -1;
    for (int32_t y = 0; y < target.height; ++y) {
        const Span rows = BoxOf(y, height, target.height);
        uint8_t* out = TargetRow(target, y);
        if (rows.start == lastStart) {
            // Enlarging: the same picture row again.
            std::memcpy(out, TargetRow(target, y - 1), static_cast<size_t>(target.width) * 4);
            continue;
        }
        lastStart = rows.start;
        sink.clear();
        for (int32_t r = rows.start; r < rows.end; ++r) {
            sink.startRow();
            if (!WalkPictureRow(source, r, palette, sink, reason)) {
                return false;
            }
            sink.endRow();
        }
        sink.emit(out, rows.end - rows.start, target);
    }
    return true;
}

}  // namespace

bool ReadRLEInfo(std::span<const uint8_t> header, RLEImageInfo& info) {
    if (!rle::HasSignature(header.data(), header.size())) {
        return false;
    }
    const rle::Header h = rle::ReadHeader(header.data());
    info.width = h.width;
    info.height = PictureHeight(h);
    info.hasAlpha = h.hasAlpha;
    info.colorCount = static_cast<int32_t>(h.entryCount) - 1;
    return info.width > 0 && info.height > 0;
}

RLEScaledResult DecodeRLERows(const rle::ParsedFile& prologue, const RLERowSource& row,
                              const RLETarget& target) {
    RLEScaledResult result;
    const int32_t width = prologue.header.width;
    const int32_t height = PictureHeight(prologue.header);
    if (width <= 0 || height <= 0 || prologue.colors.empty()) {
        result.failure = Failure::Of(FailureKind::Malformed, "RLE", "the image size is invalid");
    } else if (!target.top || target.width <= 0 || target.height <= 0) {
        result.failure = Failure::Of(FailureKind::Unsupported, "RLE", "the target raster is empty");
    } else if (prologue.rowLengths.size() < static_cast<size_t>(height)) {
        result.failure =
            Failure::Of(FailureKind::Truncated, "RLE", "the file has fewer rows than its height");
    } else if (target.width == width && target.height == height && Aligned(target)) {
        result.success = DecodeDirect(prologue, row, target, result.failure);
    } else {
        result.success = DecodeBoxes(prologue, row, target, result.failure);
    }
    return result;
}

RLEScaledResult DecodeRLEScaled(std::span<const uint8_t> file, const RLETarget& target) {
    rle::ParsedFile parsed;
    const rle::ParseError error = rle::ParseFile(file, parsed);
    if (error != rle::ParseError::None) {
        return {false, rle::FailureOf(error)};
    }
    const RLERowSource rows = [&parsed](int32_t y, std::span<const uint8_t>& bytes) {
        bytes = parsed.rows[static_cast<size_t>(y)];
        return true;
    };
    return DecodeRLERows(parsed, rows, target);
}

}  // namespace quenda
