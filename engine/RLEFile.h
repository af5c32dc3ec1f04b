#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/RLEFormat.h"
#include "imaging/Failure.h"

namespace quenda::rle {

// The sections of a device bitmap file, checked against the file's length.
// Row spans point into the parsed bytes, which must outlive this value.
struct ParsedFile {
    Header header;
    std::vector<uint16_t> colors;      // RGB565 of entries 0..N-1; entry 0 is always 0
    std::vector<uint8_t> alphas;       // 33-level alpha of entries 0..N-1 (only with alpha)
    std::vector<uint32_t> rowLengths;  // bytes of each row, top row first
    size_t dataOffset = 0;             // where the row data starts
    uint64_t dataSize = 0;             // the row data's length: the sum of rowLengths
    std::vector<std::span<const uint8_t>> rows;  // only from ParseFile
};

enum class ParseError {
    None,
    NotRLE,
    Truncated,
    NoPaletteEntry,  // N = 0: not even the transparent entry
    BadAlpha,        // an alpha level above 32
    BadRowLength,    // a long row length that reads as negative
};

const char* Describe(ParseError error);

// The failure value of a parse error, with Describe's text.
Failure FailureOf(ParseError error);

// Splits a whole file into its sections; nothing is read outside `file`.
ParseError ParseFile(std::span<const uint8_t> file, ParsedFile& parsed);

// Reads the sections before the row data (header, colours, alphas, row lengths) from
// the first bytes of a file, for readers that take the rows one at a time. Truncated
// means the prefix ends too early: `needed` is then a length the prefix must at least
// have to get further (read that many and call again); on success it is dataOffset.
ParseError ParsePrologue(std::span<const uint8_t> prefix, ParsedFile& parsed, size_t& needed);

}  // namespace quenda::rle
