#include "codecs/cTGAparser.h"
#include "imaging/c32bppDIB.h"

namespace quenda {

bool c32bppDIB::SaveToStream_TGA(std::vector<uint8_t>& bytes, bool compress, bool reduceBitDepth,
                                 bool allowPremultiplied, bool /*promptOverwrite*/) const {
    if (!bits_) {
        bytes.clear();
        return false;
    }
    return cTGAparser().EncodeTGA(bytes, *this, allowPremultiplied, compress, reduceBitDepth);
}

}  // namespace quenda
