// The members of the image buffer that take file names: each reads or writes the file
// through the platform's file helpers and leaves the format work to the codecs, which
// take and give bytes only.
#include "codecs/BitmapWriter.h"
#include "codecs/ReaderChain.h"
#include "codecs/cTGAparser.h"
#include "imaging/ImageLimits.h"
#include "imaging/c32bppDIB.h"
#include "platform/FileIO.h"
#include "platform/ReplacingFileSink.h"

namespace quenda {

bool c32bppDIB::LoadPicture_File(const std::filesystem::path& fileName, int32_t iconWidth,
                                 int32_t iconHeight, bool keepOriginalFormat,
                                 int32_t iconBitDepth) {
    DestroyDIB();
    const std::optional<uint64_t> length = fileio::FileLength(fileName);
    if (!length || *length < kMinFileBytes || *length > kMaxFileBytes) {
        return false;
    }
    // Read once; every reader of the chain works on these bytes.
    std::vector<uint8_t> bytes;
    if (!fileio::ReadWholeFile(fileName, bytes, kMaxFileBytes) || bytes.size() < kMinFileBytes) {
        return false;
    }
    return RunReaderChain(
        *this, {bytes, 0, bytes.size(), iconWidth, iconHeight, iconBitDepth, keepOriginalFormat});
}

bool c32bppDIB::mayOverwrite(const std::filesystem::path& fileName, bool promptOverwrite) const {
    if (!promptOverwrite || !fileio::Exists(fileName)) {
        return true;
    }
    return overwritePrompt_ &&
           overwritePrompt_("Overwrite existing file?", "Overwrite Confirmation");
}

bool c32bppDIB::SaveToFile(const std::filesystem::path& fileName, bool promptOverwrite) {
    if (!bits_ || fileName.empty() || !mayOverwrite(fileName, promptOverwrite)) {
        return false;
    }
    if (BitmapFileSize(width_, height_, alpha_) == 0) {
        return false;  // too large for the format: no temporary file at all
    }
    ReplacingFileSink sink(fileName);
    return WriteBitmap(bits_.get(), width_, height_, alpha_, sink) && sink.Commit();
}

// The other formats are encoded in full before the file is touched, then put in place
// of any old file in one step, so a failure never leaves a broken or missing file.

bool c32bppDIB::SaveToFile_JPG(const std::filesystem::path& fileName, int32_t quality,
                               bool promptOverwrite) {
    if (!bits_ || fileName.empty() || !mayOverwrite(fileName, promptOverwrite)) {
        return false;
    }
    std::vector<uint8_t> encoded;
    return SaveToStream_JPG(encoded, quality) && fileio::WriteFileReplacing(fileName, encoded);
}

bool c32bppDIB::SaveToFile_PNG(const std::filesystem::path& fileName, bool promptOverwrite) {
    if (!bits_ || fileName.empty() || !mayOverwrite(fileName, promptOverwrite)) {
        return false;
    }
    std::vector<uint8_t> encoded;
    return writePng(encoded) && fileio::WriteFileReplacing(fileName, encoded);
}

bool c32bppDIB::SaveToFile_TGA(const std::filesystem::path& fileName, bool compress,
                               bool reduceBitDepth, bool allowPremultiplied, bool promptOverwrite) {
    if (!bits_ || fileName.empty() || !mayOverwrite(fileName, promptOverwrite)) {
        return false;
    }
    std::vector<uint8_t> bytes;
    return cTGAparser().SaveAsTGA(fileName, bytes, *this, allowPremultiplied, compress,
                                  reduceBitDepth);
}

}  // namespace quenda
