#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "codecs/TgaFormat.h"
#include "imaging/Failure.h"

namespace quenda {

class c32bppDIB;

// Reads TGA images (colour-mapped, true-colour and grey, raw or run-length, with the
// 2.0 footer and extension area) into a c32bppDIB, and writes one as a TGA 2.0 file.
class cTGAparser {
  public:
    // True when the host holds the decoded image afterwards. A source that is no TGA
    // leaves the host untouched; a damaged one empties it and leaves its reason in
    // the host's LastFailure().
    bool LoadStream(const std::vector<uint8_t>& bytes, c32bppDIB& host, size_t offset = 0,
                    size_t length = 0);
    bool LoadStream(const uint8_t* data, size_t size, c32bppDIB& host);

    // Writes the host as TGA into outStream and, with a file name, to that file
    // (replacing it only once the new file is complete; the file part is the
    // platform's). outStream is empty on failure.
    bool SaveAsTGA(const std::filesystem::path& fileName, std::vector<uint8_t>& outStream,
                   const c32bppDIB& host, bool allowPreMultipliedAlpha, bool useCompression,
                   bool useBitReduction);
    // The TGA bytes alone.
    bool EncodeTGA(std::vector<uint8_t>& outStream, const c32bppDIB& host,
                   bool allowPreMultipliedAlpha, bool useCompression, bool useBitReduction) const;

  private:
    // What the checks found out about the source.
    struct Layout {
        tga::Header header;
        size_t pixelStart = 0;
        size_t dataEnd = 0;  // pixel data may run up to here
        size_t pixelBytes = 0;
        bool footer = false;
        bool sixteenBitAlpha = false;
        std::vector<uint32_t> table;  // expanded colour map, BGRA packed little-endian
    };

    // False when the source is no TGA this reader takes; `why` is set when it looked
    // like one but its data cannot be what the header says.
    bool Inspect(const uint8_t* data, size_t size, Layout& layout, Failure& why) const;
    bool CheckHeader(const tga::Header& h) const;
    void ReadExtension(const uint8_t* data, size_t size, size_t footerStart, Layout& layout) const;
    void ExpandColourMap(const uint8_t* map, Layout& layout) const;
    uint32_t ExpandPixel(const uint8_t* p, const Layout& layout) const;
    Failure DecodePixels(const uint8_t* data, const Layout& layout, c32bppDIB& host) const;
    static bool Fail(c32bppDIB& host, Failure why);
};

}  // namespace quenda
