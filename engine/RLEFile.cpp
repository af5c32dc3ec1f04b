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

// Reads row length records while the bytes last; `needed` says how far the prefix must
// reach for the rest (one byte per row still unread, two more inside a long record).
ParseError ReadRowLengths(ByteCursor& in, size_t rowCount, std::vector<uint32_t>& lengths,
                          size_t& needed) {
    lengths.reserve(rowCount);
    while (lengths.size() < rowCount) {
        const size_t left = rowCount - lengths.size();
        const size_t at = in.Position();
        uint8_t first = 0;
        if (!in.ReadU8(first)) {
            needed = at + left;
            return ParseError::Truncated;
        }
        if (first != kLongRowLength) {
            lengths.push_back(first);
            continue;
        }
        uint16_t word = 0;
        if (!in.ReadBE16(word)) {
            needed = at + 2 + left;
            return ParseError::Truncated;
        }
        const int16_t length = static_cast<int16_t>(word);
        if (length < 0) {
            return ParseError::BadRowLength;
        }
        lengths.push_back(static_cast<uint32_t>(length));
    }
    return ParseError::None;
}

ParseError ReadPalette(ByteCursor& in, ParsedFile& parsed, size_t& needed) {
    const Header& h = parsed.header;
    const size_t entries = h.entryCount;
    needed = kHeaderSize + 2 * (entries - 1) + (h.hasAlpha ? entries : 0);
    const uint8_t* colors = in.Span(2 * (entries - 1));
    if (colors == nullptr) {
        return ParseError::Truncated;
    }
    parsed.colors.assign(entries, 0);
    for (size_t i = 1; i < entries; ++i) {
        parsed.colors[i] = bytes::ReadLE16(colors + 2 * (i - 1));
    }
    if (!h.hasAlpha) {
        return ParseError::None;
    }
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
    return ParseError::None;
}

}  // namespace

ParseError ParsePrologue(std::span<const uint8_t> prefix, ParsedFile& parsed, size_t& needed) {
    parsed = ParsedFile{};
    needed = kHeaderSize;
    if (prefix.size() < kHeaderSize) {
        return ParseError::Truncated;
    }
    if (!HasSignature(prefix.data(), prefix.size())) {
        return ParseError::NotRLE;
    }
    ByteCursor in(prefix.data(), prefix.size());
    parsed.header = ReadHeader(in.Span(kHeaderSize));
    if (parsed.header.entryCount == 0) {
        return ParseError::NoPaletteEntry;
    }
    if (ParseError e = ReadPalette(in, parsed, needed); e != ParseError::None) {
        return e;
    }
    // A negative row count means no rows at all.
    const int16_t rows = parsed.header.rowCount;
    const size_t rowCount = rows > 0 ? static_cast<size_t>(rows) : 0;
    if (ParseError e = ReadRowLengths(in, rowCount, parsed.rowLengths, needed);
        e != ParseError::None) {
        return e;
    }
    parsed.dataOffset = in.Position();
    for (uint32_t length : parsed.rowLengths) {
        parsed.dataSize += length;
    }
    needed = parsed.dataOffset;
    return ParseError::None;
}

ParseError ParseFile(std::span<const uint8_t> file, ParsedFile& parsed) {
    size_t needed = 0;
    if (file.size() < kHeaderSize || !HasSignature(file.data(), file.size())) {
        parsed = ParsedFile{};
        return ParseError::NotRLE;
    }
    if (ParseError e = ParsePrologue(file, parsed, needed); e != ParseError::None) {
        return e;
    }
    ByteCursor in(file.data(), file.size());
    in.Seek(parsed.dataOffset);
    parsed.rows.reserve(parsed.rowLengths.size());
    for (uint32_t length : parsed.rowLengths) {
        const uint8_t* row = in.Span(length);
        if (row == nullptr) {
            return ParseError::Truncated;
        }
        parsed.rows.emplace_back(row, length);
    }
    return ParseError::None;
}

Failure FailureOf(ParseError error) {
    FailureKind kind = FailureKind::Malformed;
    if (error == ParseError::NotRLE) {
        kind = FailureKind::NotAnImage;
    } else if (error == ParseError::Truncated) {
        kind = FailureKind::Truncated;
    }
    return Failure::Of(kind, "RLE", Describe(error));
}

}  // namespace quenda::rle
