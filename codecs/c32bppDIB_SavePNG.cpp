#include "codecs/ZlibBinding.h"
#include "codecs/cPNGwriter.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cGDIPlus.h"

namespace quenda {

namespace {

// The platform bridge's PNG encoder. The stand-in of this platform writes no PNG, so
// the own writer does the work.
bool SavePngThroughBridge(const c32bppDIB& image, const std::filesystem::path& fileName,
                          std::vector<uint8_t>& bytes) {
    return cGDIPlus().SaveToPNG(fileName, bytes, image, image.gdiToken());
}

}  // namespace

// Asked here rather than with the buffer: compression belongs to the codecs.
bool c32bppDIB::isZlibEnabled() const {
    return zlib::IsEnabled();
}

bool c32bppDIB::SaveToFile_PNG(const std::filesystem::path& fileName, bool promptOverwrite) {
    if (!bits_ || fileName.empty() || !mayOverwrite(fileName, promptOverwrite)) {
        return false;
    }
    // The writers replace an existing file only with a complete new one, so it is not
    // deleted beforehand.
    std::vector<uint8_t> unused;
    return writePng(fileName, unused);
}

bool c32bppDIB::SaveToStream_PNG(std::vector<uint8_t>& bytes) {
    bytes.clear();
    return bits_ && writePng({}, bytes);
}

bool c32bppDIB::writePng(const std::filesystem::path& fileName, std::vector<uint8_t>& bytes) {
    if (!pngWriter_) {
        return SavePngThroughBridge(*this, fileName, bytes) ||
               cPNGwriter().Write(*this, fileName, bytes);
    }
    return pngWriter_->Write(*this, fileName, bytes) ||
           SavePngThroughBridge(*this, fileName, bytes);
}

bool c32bppDIB::PngPropertySet(int32_t id, const std::optional<PngValue>& value,
                               const std::string& caption) {
    if (id == PNGP_CLEAR_ALL) {
        pngWriter_.reset();
        return true;
    }
    if (!value) {
        return pngWriter_ && pngWriter_->RemoveProperty(id, caption);
    }
    if (pngWriter_) {
        return pngWriter_->SetProperty(id, *value, caption);
    }
    auto writer = std::make_shared<cPNGwriter>();
    if (!writer->SetProperty(id, *value, caption)) {
        return false;  // nothing stored: the buffer still has no PNG properties
    }
    pngWriter_ = std::move(writer);
    return true;
}

PngValue c32bppDIB::PngPropertyGet(int32_t id, const std::string& caption) const {
    if (pngWriter_) {
        return pngWriter_->GetProperty(id, caption);
    }
    if (id == PNGP_BACKGROUND) {
        return int64_t{-1};
    }
    if (id == PNGP_MODIFIED_TIME) {
        return PngDate{};
    }
    return std::monostate{};
}

}  // namespace quenda
