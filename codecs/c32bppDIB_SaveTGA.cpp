#include "codecs/cTGAparser.h"
#include "imaging/c32bppDIB.h"

namespace quenda {

bool c32bppDIB::SaveToFile_TGA(const std::filesystem::path& fileName, bool compress,
                               bool reduceBitDepth, bool allowPremultiplied, bool promptOverwrite) {
    if (!bits_ || fileName.empty() || !mayOverwrite(fileName, promptOverwrite)) {
        return false;
    }
    // The writer replaces an existing file only with a complete new one.
    std::vector<uint8_t> bytes;
    return cTGAparser().SaveAsTGA(fileName, bytes, *this, allowPremultiplied, compress,
                                  reduceBitDepth);
}

bool c32bppDIB::SaveToStream_TGA(std::vector<uint8_t>& bytes, bool compress, bool reduceBitDepth,
                                 bool allowPremultiplied, bool /*promptOverwrite*/) const {
    if (!bits_) {
        bytes.clear();
        return false;
    }
    return cTGAparser().SaveAsTGA({}, bytes, *this, allowPremultiplied, compress, reduceBitDepth);
}

}  // namespace quenda
