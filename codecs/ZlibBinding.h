#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/ZlibOptions.h"

// Every zlib call of the library goes through here. Each call takes the options of the
// image it works for, which can make it act as if zlib (or a part of it) were missing,
// so that the paths a system without it takes are reached.
namespace quenda::zlib {

// True when zlib can be used.
bool IsEnabled(const ZlibOptions& options = {});

// CRC-32 of the bytes with initial value 0. False when zlib cannot be used.
bool Crc32(const uint8_t* data, size_t size, uint32_t& crc, const ZlibOptions& options = {});

// Inflates a zlib stream into dst. dstLength is the capacity on entry and the
// number of bytes produced on return. True when the stream ends, checksum included,
// within the capacity. The faster DEFLATE library answers first (unless the options
// mark it missing); what it refuses is left to zlib's own verdict.
bool Uncompress(uint8_t* dst, size_t& dstLength, const uint8_t* src, size_t srcLength,
                const ZlibOptions& options = {});

// Deflates src into a zlib stream at level 9 ("compress2") or stronger, or at zlib's
// default level when only "compress" is offered. A faster DEFLATE library makes the
// stream, at its strongest level, when it is there and the stream fits. dstLength as
// for Uncompress.
bool Compress(uint8_t* dst, size_t& dstLength, const uint8_t* src, size_t srcLength,
              const ZlibOptions& options = {});

// The largest output Compress can produce for an input of the given size.
size_t CompressBound(size_t srcLength);

}  // namespace quenda::zlib
