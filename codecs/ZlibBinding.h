#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// Every zlib call of the library goes through here, so that tests can act as if
// zlib were missing and reach the paths a system without it takes.
namespace quenda::zlib {

// True when zlib can be used.
bool IsEnabled();
void SetDisabledForTesting(bool disabled);
// Acts as if zlib offered "compress" but not "compress2" (default level only).
void SetCompress2MissingForTesting(bool missing);

// Compression uses a faster DEFLATE library at its strongest level when it is there and
// the stream fits; the switch leaves everything to zlib.
void SetFastLibraryDisabledForTesting(bool disabled);

// CRC-32 of the bytes with initial value 0. False when zlib cannot be used.
bool Crc32(const uint8_t* data, size_t size, uint32_t& crc);

// Inflates a zlib stream into dst. dstLength is the capacity on entry and the
// number of bytes produced on return. True only when zlib reports success.
bool Uncompress(uint8_t* dst, size_t& dstLength, const uint8_t* src, size_t srcLength);

// Inflates a zlib stream piece by piece, with the outcome Uncompress would give for
// an output buffer of the bytes read so far: the stream must end within them.
class StreamInflater {
  public:
    StreamInflater();
    ~StreamInflater();
    StreamInflater(const StreamInflater&) = delete;
    StreamInflater& operator=(const StreamInflater&) = delete;

    bool Begin(const uint8_t* src, size_t srcLength);
    // The next n bytes of output; zeros once the stream has ended. False on an error.
    bool Read(uint8_t* dst, size_t n);
    // True when the stream ends (checksum included) without further output.
    bool Finish();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// Deflates src into a zlib stream at level 9 ("compress2") or stronger, or at zlib's
// default level when only "compress" is offered. dstLength as for Uncompress.
bool Compress(uint8_t* dst, size_t& dstLength, const uint8_t* src, size_t srcLength);

// The largest output Compress can produce for an input of the given size.
size_t CompressBound(size_t srcLength);

}  // namespace quenda::zlib
