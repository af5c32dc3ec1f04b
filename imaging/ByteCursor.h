#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/ByteOrder.h"

namespace quenda {

// Reads untrusted bytes front to back: fixed-width values in either byte order and
// spans of bytes, none of which can pass the end. The first read that would fails
// and leaves the cursor failed (every later read fails too), remembering where it
// was attempted so the caller can say "truncated at byte N". Check a span once and
// work on it directly in pixel loops.
class ByteCursor {
  public:
    ByteCursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    size_t Position() const { return pos_; }
    size_t Size() const { return size_; }
    size_t Remaining() const { return failed_ ? 0 : size_ - pos_; }
    bool Failed() const { return failed_; }
    // Position of the read that failed (meaningful once Failed()).
    size_t FailedAt() const { return failedAt_; }

    bool ReadU8(uint8_t& out) {
        return Read(1, out, [](const uint8_t* p) { return *p; });
    }
    bool ReadLE16(uint16_t& out) { return Read(2, out, bytes::ReadLE16); }
    bool ReadLE32(uint32_t& out) { return Read(4, out, bytes::ReadLE32); }
    bool ReadBE16(uint16_t& out) { return Read(2, out, bytes::ReadBE16); }
    bool ReadBE32(uint32_t& out) { return Read(4, out, bytes::ReadBE32); }

    // The next n bytes, or null (and failed) when fewer remain.
    const uint8_t* Span(size_t n) {
        if (!Has(n)) {
            return nullptr;
        }
        const uint8_t* p = data_ + pos_;
        pos_ += n;
        return p;
    }
    bool Skip(size_t n) { return Span(n) != nullptr || n == 0; }
    // Moves to an absolute position; a position past the end fails.
    bool Seek(size_t position) {
        if (failed_ || position > size_) {
            return Fail(position);
        }
        pos_ = position;
        return true;
    }

  private:
    bool Has(size_t n) {
        if (failed_ || n > size_ - pos_) {
            Fail(pos_);
            return false;
        }
        return true;
    }
    bool Fail(size_t at) {
        if (!failed_) {
            failed_ = true;
            failedAt_ = at;
        }
        return false;
    }
    template <typename T, typename Decode>
    bool Read(size_t n, T& out, Decode decode) {
        const uint8_t* p = Span(n);
        if (p == nullptr) {
            return false;
        }
        out = static_cast<T>(decode(p));
        return true;
    }

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool failed_ = false;
    size_t failedAt_ = 0;
};

}  // namespace quenda
