#pragma once

#include <cstddef>
#include <cstdint>

namespace quenda {

struct InflateOptions {
    // The stream starts with the two bytes of a zlib header, which are skipped unread.
    bool zlibHeader = true;
    // Length code 285 as base 3 with 16 extra bits instead of the fixed length 258.
    bool length285WithExtraBits = false;
};

// The library's own DEFLATE decoder, used for PNG image data when zlib is missing or
// refuses the stream. It decodes into dst until the final block ends or dst is full:
// output past dstSize is dropped and counts as complete, output shorter than dstSize
// leaves the rest untouched. Input bits past the end read as 0. The Adler-32 checksum
// is not checked and a preset dictionary is not supported. False on a corrupt stream.
bool InflateStream(const uint8_t* src, size_t srcSize, uint8_t* dst, size_t dstSize,
                   size_t* produced = nullptr, const InflateOptions& options = {});

}  // namespace quenda
