#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quenda {

class c32bppDIB;

// The data offered to the readers, and what the caller asked for.
struct ReaderChainInput {
    const std::vector<uint8_t>& bytes;
    size_t start = 0;
    size_t length = 0;
    int32_t iconWidth = 0;
    int32_t iconHeight = 0;
    int32_t iconBitDepth = 32;
    bool keepOriginalFormat = false;
};

// Offers the data to the readers in their fixed order (PNG, GIF, ICO, BMP with the
// platform picture loader, the imaging bridge, TGA) and keeps the source bytes
// when asked. True when the image holds a picture afterwards.
bool RunReaderChain(c32bppDIB& image, ReaderChainInput input);

}  // namespace quenda
