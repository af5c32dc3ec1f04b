#include "codecs/ZlibBinding.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <limits>
#include <memory>

namespace quenda::zlib {

namespace {
std::atomic<bool> disabledForTesting{false};
std::atomic<bool> compress2MissingForTesting{false};

constexpr int kLevel = 9;
// libdeflate at level 10: smaller than zlib's level 9 in about half the time (levels
// 11 and 12 gain a fraction of a percent for a third more time).
constexpr int kFastLibraryLevel = 10;
std::atomic<bool> fastLibraryDisabledForTesting{false};

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

bool FitsULong(size_t n) {
    return n <= std::numeric_limits<uLong>::max();
}
}  // namespace

bool IsEnabled() {
    return !disabledForTesting.load();
}

void SetDisabledForTesting(bool disabled) {
    disabledForTesting.store(disabled);
}

void SetCompress2MissingForTesting(bool missing) {
    compress2MissingForTesting.store(missing);
}

void SetFastLibraryDisabledForTesting(bool disabled) {
    fastLibraryDisabledForTesting.store(disabled);
}

bool Crc32(const uint8_t* data, size_t size, uint32_t& crc) {
    if (!IsEnabled() || (data == nullptr && size != 0)) {
        return false;
    }
    crc = static_cast<uint32_t>(crc32_z(0, data, size));
    return true;
}

bool Uncompress(uint8_t* dst, size_t& dstLength, const uint8_t* src, size_t srcLength) {
    if (!IsEnabled() || !FitsULong(dstLength) || !FitsULong(srcLength)) {
        return false;
    }
    uLongf produced = static_cast<uLongf>(dstLength);
    const int rc = uncompress(dst, &produced, src, static_cast<uLong>(srcLength));
    if (rc != Z_OK) {
        return false;
    }
    dstLength = produced;
    return true;
}

bool Compress(uint8_t* dst, size_t& dstLength, const uint8_t* src, size_t srcLength) {
    if (!IsEnabled() || !FitsULong(dstLength) || !FitsULong(srcLength)) {
        return false;
    }
    const bool defaultLevelOnly = compress2MissingForTesting.load();
    if (!defaultLevelOnly && !fastLibraryDisabledForTesting.load() &&
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

struct StreamInflater::State {
    z_stream stream{};
    bool started = false;
    bool ended = false;
};

StreamInflater::StreamInflater() : state_(std::make_unique<State>()) {}

StreamInflater::~StreamInflater() {
    if (state_->started) {
        inflateEnd(&state_->stream);
    }
}

bool StreamInflater::Begin(const uint8_t* src, size_t srcLength) {
    if (!IsEnabled() || state_->started || srcLength > std::numeric_limits<uInt>::max()) {
        return false;
    }
    z_stream& zs = state_->stream;
    zs.next_in = const_cast<Bytef*>(src);
    zs.avail_in = static_cast<uInt>(srcLength);
    if (inflateInit(&zs) != Z_OK) {
        return false;
    }
    state_->started = true;
    return true;
}

bool StreamInflater::Read(uint8_t* dst, size_t n) {
    if (!state_->started || n > std::numeric_limits<uInt>::max()) {
        return false;
    }
    z_stream& zs = state_->stream;
    zs.next_out = dst;
    zs.avail_out = static_cast<uInt>(n);
    while (zs.avail_out > 0 && !state_->ended) {
        const int rc = inflate(&zs, Z_NO_FLUSH);
        if (rc == Z_STREAM_END) {
            state_->ended = true;
        } else if (rc != Z_OK) {
            return false;  // corrupt data, or the input ended early
        }
    }
    std::memset(zs.next_out, 0, zs.avail_out);  // a short stream leaves zeros
    return true;
}

bool StreamInflater::Finish() {
    if (!state_->started) {
        return false;
    }
    z_stream& zs = state_->stream;
    uint8_t extra = 0;
    while (!state_->ended) {
        zs.next_out = &extra;
        zs.avail_out = 1;
        const int rc = inflate(&zs, Z_NO_FLUSH);
        if (zs.avail_out == 0) {
            return false;  // more output than the buffer holds
        }
        if (rc == Z_STREAM_END) {
            state_->ended = true;
        } else if (rc != Z_OK) {
            return false;
        }
    }
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
