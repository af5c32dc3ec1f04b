#include "imaging/cGDIPlus.h"

namespace quenda {

bool cGDIPlus::isGDIplusOk(uint32_t* token, bool keepToken) {
    // TurboJPEG is linked, so the stand-in is always available.
    if (keepToken && token != nullptr) {
        *token = 1;
    }
    return true;
}

}  // namespace quenda
