#include "imaging/c32bppDIB.h"
#include "imaging/cGDIPlus.h"

namespace quenda {

bool c32bppDIB::SaveToStream_JPG(std::vector<uint8_t>& bytes, int32_t quality) const {
    bytes.clear();
    if (!bits_) {
        return false;
    }
    cGDIPlus bridge;
    return bridge.EncodeJPG(*this, quality, gdiToken_, bytes);
}

}  // namespace quenda
