#include "codecs/ZlibBinding.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

namespace quenda::zlib {

namespace {
constexpr int kLevel = 9;
// libdeflate at level 10: smaller than zlib's level 9 in about half the time (levels
// 11 and 12 gain a fraction of a percent for a third more time).
constexpr int kFastLibraryLevel = 10;

struct CompressorDeleter {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

// One compressor per thread: it is large to make, and batch workers save at once.
libdeflate_compressor* ThreadCompressor() {
    thread_local std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor(
        libdeflate_alloc_compressor(kFastLibraryLevel));
    return compressor.get();
}

bool CompressFast(uint8_t* dst, size_t& dstLength, const uint8_t* src, size_t srcLength) {
    libdeflate_compressor* compressor = ThreadCompressor();
    if (compressor == nullptr) {
        return false;
    }
    const size_t produced = libdeflate_zlib_compress(compressor, src, srcLength, dst, dstLength);
    if (produced == 0) {
        return false;  // the output does not fit
    }
    dstLength = produced;
    return true;
}

struct DecompressorDeleter {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

// libdeflate inflates a whole buffer about twice as fast as zlib and checks the
// Adler-32 as zlib does.
bool UncompressFast(uint8_t* dst, size_t& dstLength, const uint8_t* src, size_t srcLength) {
    const std::unique_ptr<libdeflate_decompressor, DecompressorDeleter> decompressor(
        libdeflate_alloc_decompressor());
    size_t produced = 0;
    if (decompressor == nullptr ||
        libdeflate_zlib_decompress(decompressor.get(), src, srcLength, dst, dstLength, &produced) !=
            LIBDEFLATE_SUCCESS) {
        return false;
    }
    dstLength = produced;
    return true;
}

bool FitsULong(size_t n) {
    return n <= std::numeric_limits<uLong>::max();
}
}  // namespace

bool IsEnabled(const ZlibOptions& options) {
    return !options.zlibMissing;
}

bool Crc32(const uint8_t* data, size_t size, uint32_t& crc, const ZlibOptions& options) {
    if (!IsEnabled(options) || (data == nullptr && size != 0)) {
        return false;
    }
    // The same CRC-32 as zlib's, several times faster on long chunks.
    crc = options.fastLibraryMissing ? static_cast<uint32_t>(crc32_z(0, data, size))
                                     : libdeflate_crc32(0, data, size);
    return true;
}

bool Uncompress(uint8_t* dst, size_t& dstLength, const uint8_t* src, size_t srcLength,
                const ZlibOptions& options) {
    if (!IsEnabled(options) || !FitsULong(dstLength) || !FitsULong(srcLength)) {
        return false;
    }
    if (!options.fastLibraryMissing && UncompressFast(dst, dstLength, src, srcLength)) {
        return true;
    }
    uLongf produced = static_cast<uLongf>(dstLength);
    const int rc = uncompress(dst, &produced, src, static_cast<uLong>(srcLength));
    if (rc != Z_OK) {
        return false;
    }
    dstLength = produced;
    return true;
}

bool Compress(uint8_t* dst, size_t& dstLength, const uint8_t* src, size_t srcLength,
              const ZlibOptions& options) {
    if (!IsEnabled(options) || !FitsULong(dstLength) || !FitsULong(srcLength)) {
        return false;
    }
    const bool defaultLevelOnly = options.compress2Missing;
    if (!defaultLevelOnly && !options.fastLibraryMissing &&
        CompressFast(dst, dstLength, src, srcLength)) {
        return true;
    }
    uLongf produced = static_cast<uLongf>(dstLength);
    const int rc = defaultLevelOnly
                       ? compress(dst, &produced, src, static_cast<uLong>(srcLength))
                       : compress2(dst, &produced, src, static_cast<uLong>(srcLength), kLevel);
    if (rc != Z_OK) {
        return false;
    }
    dstLength = produced;
    return true;
}

size_t CompressBound(size_t srcLength) {
    const size_t zlibBound = static_cast<size_t>(compressBound(static_cast<uLong>(srcLength)));
    libdeflate_compressor* compressor = ThreadCompressor();
    if (compressor == nullptr) {
        return zlibBound;
    }
    return std::max(zlibBound, libdeflate_zlib_compress_bound(compressor, srcLength));
}

}  // namespace quenda::zlib
