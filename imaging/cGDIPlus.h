#pragma once

#include <cstdint>

namespace quenda {

struct DrawJob;
struct Surface;

// Stand-in for the platform imaging library: JPEG through TurboJPEG, drawing
// through the library's own scaling. It never writes or reads PNG.
class cGDIPlus {
  public:
    // True when the stand-in can be used. With keepToken a token is returned in
    // token for the caller to keep.
    bool isGDIplusOk(uint32_t* token = nullptr, bool keepToken = false);

    // Draws with high-quality bicubic scaling, or nearest neighbour when highQuality
    // is false (cGDIPlus_Draw.cpp).
    bool DrawImage(const DrawJob& job, const Surface& dest, bool highQuality, uint32_t token);
};

}  // namespace quenda
