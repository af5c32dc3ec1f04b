#pragma once

#include <cstdint>

namespace quenda {

// Stand-in for the platform imaging library: JPEG through TurboJPEG, drawing
// through the library's own scaling. It never writes or reads PNG.
class cGDIPlus {
  public:
    // True when the stand-in can be used. With keepToken a token is returned in
    // token for the caller to keep.
    bool isGDIplusOk(uint32_t* token = nullptr, bool keepToken = false);
};

}  // namespace quenda
