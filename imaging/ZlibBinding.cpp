#include "imaging/ZlibBinding.h"

#include <zlib.h>

#include <atomic>
#include <limits>

namespace quenda::zlib {

namespace {
std::atomic<bool> disabledForTesting{false};
std::atomic<bool> compress2MissingForTesting{false};

constexpr int kLevel = 9;

bool FitsULong(size_t n) { return n <= std::numeric_limits<uLong>::max(); }
}  // namespace

bool IsEnabled() {
    return !disabledForTesting.load();
}

void SetDisabledForTesting(bool disabled) {
    disabledForTesting.store(disabled);
}

void SetCompress2MissingForTesting(bool missing) { compress2MissingForTesting.store(missing); }

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
    uLongf produced = static_cast<uLongf>(dstLength);
    const int rc = compress2MissingForTesting.load()
                       ? compress(dst, &produced, src, static_cast<uLong>(srcLength))
                       : compress2(dst, &produced, src, static_cast<uLong>(srcLength), kLevel);
    if (rc != Z_OK) {
        return false;
    }
    dstLength = produced;
    return true;
}

size_t CompressBound(size_t srcLength) {
    return static_cast<size_t>(compressBound(static_cast<uLong>(srcLength)));
}

}  // namespace quenda::zlib
