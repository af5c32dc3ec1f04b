#include "codecs/BitmapWriter.h"
#include "imaging/c32bppDIB.h"
#include "platform/FileIO.h"

namespace quenda {

bool c32bppDIB::mayOverwrite(const std::filesystem::path& fileName, bool promptOverwrite) const {
    if (!promptOverwrite || !fileio::Exists(fileName)) {
        return true;
    }
    return overwritePrompt_ &&
           overwritePrompt_("Overwrite existing file?", "Overwrite Confirmation");
}

bool c32bppDIB::SaveToStream(std::vector<uint8_t>& out) const {
    out.clear();
    const uint64_t size = BitmapFileSize(width_, height_, alpha_);
    if (!bits_ || size == 0) {
        return false;
    }
    out.reserve(static_cast<size_t>(size));
    VectorSink sink(out);
    if (!WriteBitmap(bits_.get(), width_, height_, alpha_, sink)) {
        out.clear();
        return false;
    }
    return true;
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

}  // namespace quenda
