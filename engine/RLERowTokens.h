#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "engine/RLEFormat.h"
#include "imaging/ByteOrder.h"

namespace quenda::rle {

struct ParsedFile;

// Every palette entry as the 4 stored bytes of a pixel (premultiplied blue, green, red,
// alpha), computed once per entry.
struct EntryPixels {
    std::vector<uint32_t> pixels;  // index 0..N-1; entry 0 holds the transparent pixel
    size_t lastEntry = 0;          // n = N - 1
};

// The palette of a parsed file (header, colours and alphas are read; rows need not be).
EntryPixels BuildEntryPixels(const ParsedFile& file);

enum class RowStatus { Ok, MissingEntry, TruncatedToken };

// One token after any base marker: the code it names, how many pixels, how many bytes.
struct Token {
    uint32_t code;
    uint32_t count;
    uint32_t size;
    bool single;
};

// Reads the token at the start of `bytes` (three bytes). The kinds mix unpredictably
// in real rows, so the fields are selected arithmetically rather than by branches.
inline Token ReadToken(const uint8_t* bytes) {
    const uint32_t first = bytes[0];
    const uint32_t second = bytes[1];
    const uint32_t third = bytes[2];
    const uint32_t run = first == kColorRun;
    const uint32_t clear = first == kTransparentRun;
    const uint32_t single = 1 - run - clear;
    return {first * single + second * run, single + third * run + second * clear,
            1 + 2 * run + clear, single != 0};
}

// The pixel of a token's code; false when the code names no entry. A code v >= 1
// means entry v + base; a single code whose entry does not exist falls back to entry
// v and resets the base. Code 0 is always transparent, which entry 0 of the table holds.
inline bool LookUp(const Token& token, size_t& base, const EntryPixels& palette, uint32_t& pixel) {
    const size_t keep = size_t{0} - (token.code != 0);
    size_t entry = (token.code + base) & keep;
    if (entry > palette.lastEntry) {
        if (!token.single) {
            return false;
        }
        entry = token.code;
        base = 0;
        if (entry > palette.lastEntry) {
            return false;
        }
    }
    pixel = palette.pixels[entry];
    return true;
}

// Walks one row's tokens and hands each run of equal pixels, left to right, to
// `sink.put(pixel, count)`; spans are checked once per token, never per pixel. The
// sink drops what lies beyond the picture's width.
template <typename Sink>
RowStatus WalkRow(std::span<const uint8_t> row, const EntryPixels& palette, Sink& sink) {
    const uint8_t* data = row.data();
    const size_t size = row.size();
    size_t base = 0;
    size_t p = 0;
    while (p < size) {
        if (data[p] == kBaseMarker) {
            if (size - p < 3) {
                return RowStatus::TruncatedToken;
            }
            base = bytes::ReadLE16(data + p + 1);
            p += 3;
            if (p == size) {
                break;
            }
        }
        // Near the row's end the token is read from a copy padded with zeros; its size
        // is then checked against what is left.
        uint8_t tail[3] = {0, 0, 0};
        const uint8_t* at = data + p;
        if (size - p < 3) {
            std::memcpy(tail, at, size - p);
            at = tail;
        }
        const Token token = ReadToken(at);
        if (token.size > size - p) {
            return RowStatus::TruncatedToken;
        }
        uint32_t pixel = 0;
        if (!LookUp(token, base, palette, pixel)) {
            return RowStatus::MissingEntry;
        }
        sink.put(pixel, token.count);
        p += token.size;
    }
    return RowStatus::Ok;
}

}  // namespace quenda::rle
