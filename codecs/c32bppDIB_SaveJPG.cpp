#include "imaging/c32bppDIB.h"
#include "imaging/cGDIPlus.h"
#include "platform/FileIO.h"

namespace quenda {

bool c32bppDIB::SaveToStream_JPG(std::vector<uint8_t>& bytes, int32_t quality) const {
    bytes.clear();
    if (!bits_) {
        return false;
    }
    cGDIPlus bridge;
    return bridge.SaveToJPG({}, bytes, *this, quality, gdiToken_);
}

bool c32bppDIB::SaveToFile_JPG(const std::filesystem::path& fileName, int32_t quality,
                               bool promptOverwrite) {
    if (!bits_ || fileName.empty() || !mayOverwrite(fileName, promptOverwrite)) {
        return false;
    }
    // Encoded in full before the file is touched, then put in place of any old
    // file in one step, so a failure never leaves a broken or missing file.
    std::vector<uint8_t> encoded;
    return SaveToStream_JPG(encoded, quality) && fileio::WriteFileReplacing(fileName, encoded);
}

}  // namespace quenda
