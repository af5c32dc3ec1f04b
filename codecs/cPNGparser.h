#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

#include "codecs/PngRowDecoder.h"
#include "imaging/Failure.h"
#include "imaging/ZlibOptions.h"

namespace quenda {

class c32bppDIB;

// Reads a PNG into a c32bppDIB host: premultiplied BGRA, rows bottom-up. Both entry
// points answer True when the source is a PNG (whether or not it then decoded; a
// failed decode leaves the host empty) and False, with the host untouched, when it
// is not. One parser serves one load.
class cPNGparser {
  public:
    // The PNG is `length` bytes of `bytes` from `offset` (clipped to the array).
    bool LoadStream(const std::vector<uint8_t>& bytes, c32bppDIB& host, size_t offset,
                    size_t length, uint32_t& gdiToken);
    bool LoadStream(const uint8_t* data, size_t size, c32bppDIB& host, uint32_t& gdiToken);
    // A file of 56 bytes or less is not a PNG. (Reads through the platform's files.)
    bool LoadFile(const std::filesystem::path& fileName, c32bppDIB& host, uint32_t& gdiToken);

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }

  private:
    struct Chunk {
        uint32_t type;
        const uint8_t* data;
        uint32_t length;
        uint32_t storedCrc;
    };

    bool LoadThroughBridge(const uint8_t* data, size_t size, c32bppDIB& host, uint32_t gdiToken);
    // The own decoder, from the bytes after the signature; false leaves the host empty.
    bool Decode(const uint8_t* data, size_t size, c32bppDIB& host);
    bool WalkChunks(const uint8_t* data, size_t size);
    bool HandleChunk(const Chunk& chunk);
    bool CrcMatches(const Chunk& chunk) const;
    bool ReadHeader(const Chunk& chunk);
    bool CheckHeader();
    // The first value of the header the format does not allow or this reader does not handle.
    Failure HeaderFault(uint8_t compression, uint8_t filter) const;
    bool PrepareFormat();
    const uint8_t* CompressedStream(uint8_t* spare, size_t spareSize);
    size_t ImageBytes() const;
    bool Inflate(const uint8_t* stream, uint8_t* raw) const;
    size_t LongestRow() const;
    bool WritePixels(uint8_t* raw, std::unique_ptr<uint8_t[]> bits, c32bppDIB& host) const;
    bool WritePass(size_t pass, png::RowFeed& feed, const uint8_t* zeros, uint8_t* bits) const;

    int32_t width_ = 0;
    int32_t height_ = 0;
    uint8_t bitDepth_ = 0;
    uint8_t colorType_ = 0;
    uint8_t interlace_ = 0;
    bool headerSeen_ = false;
    bool zlibPresent_ = false;
    ZlibOptions zlib_;  // the host's
    std::vector<uint8_t> palette_;
    std::vector<uint8_t> transparency_;
    bool paletteCrcOk_ = true;
    bool transparencyCrcOk_ = true;
    // The IDAT chunks' data where it lies in the source; gathered into one block only
    // when there is more than one chunk, and into a block of its own only when the
    // image block cannot hold it.
    std::vector<std::pair<const uint8_t*, size_t>> imageData_;
    size_t compressedSize_ = 0;
    std::unique_ptr<uint8_t[]> gathered_;
    Failure failure_;  // why Decode failed, when it knows
    // Derived from the header.
    unsigned bitsPerPixel_ = 0;
    unsigned filterDistance_ = 0;
    size_t expectedSize_ = 0;
    bool keptTransparency_ = false;
    png::SampleFormat format_;
};

}  // namespace quenda
