#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quenda {

class c32bppDIB;
struct StdPicture;

// Windows bitmap reader: reads uncompressed 32-bit bitmaps itself so that their
// fourth byte is judged as alpha, and gives everything else (other bitmaps, JPEG)
// to the platform picture loader.
class cBMPparser {
  public:
    // The bytes from start for length bytes are the picture. True when the image
    // holds it afterwards.
    bool LoadStream(const std::vector<uint8_t>& bytes, c32bppDIB& image, size_t start,
                    size_t length);
    // Copies what the platform picture loader made into the image. bitsPerPixel
    // is what the caller read from the file; it does not change the result.
    bool ConvertstdPicTo32bpp(StdPicture& picture, c32bppDIB& image, int32_t bitsPerPixel);

  private:
    enum class OwnPath { Refused, NotTaken, Taken };
    bool Load(const uint8_t* data, size_t size, c32bppDIB& image);
    OwnPath LoadOwn32bpp(const uint8_t* data, size_t size, c32bppDIB& image);
};

}  // namespace quenda
