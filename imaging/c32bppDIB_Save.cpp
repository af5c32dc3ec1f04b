#include <cstring>

#include "imaging/ByteOrder.h"
#include "imaging/c32bppDIB.h"
#include "platform/FileIO.h"

namespace quenda {

namespace {

constexpr uint32_t kBitmapHeaderSize = 54;  // file header 14 + information header 40

size_t BitmapRowLength(int32_t width, int bitsPerPixel) {
    return (static_cast<size_t>(width) * bitsPerPixel + 31) / 32 * 4;
}

}  // namespace

bool c32bppDIB::mayOverwrite(const std::filesystem::path& fileName, bool promptOverwrite) const {
    if (!promptOverwrite || !fileio::Exists(fileName)) {
        return true;
    }
    return overwritePrompt_ &&
           overwritePrompt_("Overwrite existing file?", "Overwrite Confirmation");
}

bool c32bppDIB::SaveToStream(std::vector<uint8_t>& out) const {
    out.clear();
    if (!bits_) {
        return false;
    }
    const int bitsPerPixel = alpha_ ? 32 : 24;
    const size_t rowLength = BitmapRowLength(width_, bitsPerPixel);
    const uint64_t imageSize = static_cast<uint64_t>(rowLength) * height_;
    if (imageSize + kBitmapHeaderSize > UINT32_MAX) {
        return false;
    }
    out.reserve(kBitmapHeaderSize + imageSize);
    out.push_back('B');
    out.push_back('M');
    bytes::AppendLE32(out, static_cast<uint32_t>(imageSize + kBitmapHeaderSize));
    bytes::AppendLE32(out, 0);
    bytes::AppendLE32(out, kBitmapHeaderSize);
    bytes::AppendLE32(out, 40);
    bytes::AppendLE32(out, static_cast<uint32_t>(width_));
    bytes::AppendLE32(out, static_cast<uint32_t>(height_));
    bytes::AppendLE16(out, 1);
    bytes::AppendLE16(out, static_cast<uint16_t>(bitsPerPixel));
    bytes::AppendLE32(out, 0);
    bytes::AppendLE32(out, static_cast<uint32_t>(imageSize));
    out.resize(kBitmapHeaderSize, 0);

    if (alpha_) {
        // Rows are the held bytes exactly, bottom row first.
        out.insert(out.end(), bits_.get(), bits_.get() + ByteCount());
        return true;
    }
    std::vector<uint8_t> rows;
    DIBbitsLayout layout;
    layout.twoDimensional = true;
    layout.bits32 = false;
    layout.alignedRows = true;
    if (!GetDIBbits(rows, layout)) {
        out.clear();
        return false;
    }
    out.insert(out.end(), rows.begin(), rows.end());
    return true;
}

bool c32bppDIB::SaveToFile(const std::filesystem::path& fileName, bool promptOverwrite) {
    if (!bits_ || fileName.empty() || !mayOverwrite(fileName, promptOverwrite)) {
        return false;
    }
    std::vector<uint8_t> bytes;
    return SaveToStream(bytes) && fileio::WriteFileReplacing(fileName, bytes);
}

}  // namespace quenda
