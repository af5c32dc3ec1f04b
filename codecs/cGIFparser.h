#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quenda {

class ByteCursor;

class c32bppDIB;

// GIF reader: takes the first image of a GIF87a or GIF89a file. It rebuilds a
// one-image file from the parts that matter, has the platform picture loader
// decode it to palette indices and takes the colours from the source's own
// colour table; the transparent index becomes fully transparent.
class cGIFparser {
  public:
    // False when the data is not a GIF (or a GIF the reader refuses). True when it
    // was taken: the image then holds the picture, or is empty when the data was
    // damaged.
    bool LoadStream(const std::vector<uint8_t>& bytes, c32bppDIB& image, size_t start,
                    size_t length);

  private:
    // What the block walk found.
    struct Scan {
        size_t blocksStart = 0;    // end of header, screen descriptor and global table
        size_t tableOffset = 0;    // colour table of the first image
        size_t tableEntries = 0;   // 0 when there is none
        size_t controlOffset = 0;  // last graphic control extension, 0 when none
        int32_t transparent = -1;  // transparent index, -1 when none
        size_t imageStart = 0;     // image descriptor
        size_t imageEnd = 0;       // one past the terminating zero sub-block
        bool localTable = false;
    };
    enum class Verdict { NotGif, Refused, Damaged, Ok };

    bool Load(const uint8_t* data, size_t size, c32bppDIB& image) const;

    Verdict ScanSource(const uint8_t* data, size_t size, Scan& scan) const;
    Verdict WalkBlocks(ByteCursor& in, Scan& scan) const;
    Verdict ReadImage(ByteCursor& in, Scan& scan) const;
    std::vector<uint8_t> BuildOneImageFile(const uint8_t* data, const Scan& scan) const;
    bool Decode(const uint8_t* data, const Scan& scan, c32bppDIB& image) const;
};

}  // namespace quenda
