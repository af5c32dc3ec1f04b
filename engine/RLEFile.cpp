#include "engine/RLEFile.h"

#include "engine/modColor.h"
#include "imaging/ByteCursor.h"
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

ParseError ReadRowLengths(ByteCursor& in, size_t rowCount, std::vector<size_t>& lengths) {
    lengths.reserve(rowCount);
    for (size_t i = 0; i < rowCount; ++i) {
        uint8_t first = 0;
        if (!in.ReadU8(first)) {
            return ParseError::Truncated;
        }
        if (first != kLongRowLength) {
            lengths.push_back(first);
            continue;
        }
        uint16_t word = 0;
        if (!in.ReadBE16(word)) {
            return ParseError::Truncated;
        }
        const int16_t length = static_cast<int16_t>(word);
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
    ByteCursor in(file.data(), file.size());
    parsed.header = ReadHeader(in.Span(kHeaderSize));
    const Header& h = parsed.header;
    if (h.entryCount == 0) {
        return ParseError::NoPaletteEntry;
    }
    const size_t entries = h.entryCount;

    const uint8_t* colors = in.Span(2 * (entries - 1));
    if (colors == nullptr) {
        return ParseError::Truncated;
    }
    parsed.colors.assign(entries, 0);
    for (size_t i = 1; i < entries; ++i) {
        parsed.colors[i] = bytes::ReadLE16(colors + 2 * (i - 1));
    }

    if (h.hasAlpha) {
        const uint8_t* levels = in.Span(entries);
        if (levels == nullptr) {
            return ParseError::Truncated;
        }
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
        const uint8_t* row = in.Span(length);
        if (row == nullptr) {
            return ParseError::Truncated;
        }
        parsed.rows.emplace_back(row, length);
    }
    return ParseError::None;
}

}  // namespace quenda::rle
