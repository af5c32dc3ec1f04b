#include "engine/RLEFile.h"

#include "engine/modColor.h"
#include "imaging/ByteOrder.h"

namespace quenda::rle {

const char* Describe(ParseError error) {
    switch (error) {
        case ParseError::None:
            return "no error";
        case ParseError::NotRLE:
            return "not an RLE bitmap";
        case ParseError::Truncated:
            return "the file is shorter than its sections claim";
        case ParseError::NoPaletteEntry:
            return "the palette has no entries";
        case ParseError::BadAlpha:
            return "an alpha value is above 32";
        case ParseError::BadRowLength:
            return "a row length is negative";
    }
    return "unknown error";
}

namespace {

// Reads forward through the file; every take checks the remaining length.
class Cursor {
  public:
    explicit Cursor(std::span<const uint8_t> data) : data_(data) {}
    bool has(size_t count) const { return data_.size() - pos_ >= count; }
    const uint8_t* take(size_t count) {
        const uint8_t* p = data_.data() + pos_;
        pos_ += count;
        return p;
    }

  private:
    std::span<const uint8_t> data_;
    size_t pos_ = 0;
};

ParseError ReadRowLengths(Cursor& in, size_t rowCount, std::vector<size_t>& lengths) {
    lengths.reserve(rowCount);
    for (size_t i = 0; i < rowCount; ++i) {
        if (!in.has(1)) {
            return ParseError::Truncated;
        }
        const uint8_t first = *in.take(1);
        if (first != kLongRowLength) {
            lengths.push_back(first);
            continue;
        }
        if (!in.has(2)) {
            return ParseError::Truncated;
        }
        const int16_t length = static_cast<int16_t>(bytes::ReadBE16(in.take(2)));
        if (length < 0) {
            return ParseError::BadRowLength;
        }
        lengths.push_back(static_cast<size_t>(length));
    }
    return ParseError::None;
}

}  // namespace

ParseError ParseFile(std::span<const uint8_t> file, ParsedFile& parsed) {
    parsed = ParsedFile{};
    if (!HasSignature(file.data(), file.size())) {
        return ParseError::NotRLE;
    }
    Cursor in(file);
    parsed.header = ReadHeader(in.take(kHeaderSize));
    const Header& h = parsed.header;
    if (h.entryCount == 0) {
        return ParseError::NoPaletteEntry;
    }
    const size_t entries = h.entryCount;

    if (!in.has(2 * (entries - 1))) {
        return ParseError::Truncated;
    }
    parsed.colors.assign(entries, 0);
    for (size_t i = 1; i < entries; ++i) {
        parsed.colors[i] = bytes::ReadLE16(in.take(2));
    }

    if (h.hasAlpha) {
        if (!in.has(entries)) {
            return ParseError::Truncated;
        }
        const uint8_t* levels = in.take(entries);
        parsed.alphas.assign(levels, levels + entries);
        for (uint8_t level : parsed.alphas) {
            if (level > kMaxAlpha33) {
                return ParseError::BadAlpha;
            }
        }
    }

    // A negative row count means no rows at all.
    const size_t rowCount = h.rowCount > 0 ? static_cast<size_t>(h.rowCount) : 0;
    std::vector<size_t> lengths;
    if (ParseError e = ReadRowLengths(in, rowCount, lengths); e != ParseError::None) {
        return e;
    }
    parsed.rows.reserve(rowCount);
    for (size_t length : lengths) {
        if (!in.has(length)) {
            return ParseError::Truncated;
        }
        parsed.rows.emplace_back(in.take(length), length);
    }
    return ParseError::None;
}

}  // namespace quenda::rle
