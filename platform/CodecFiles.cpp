// The members of the codecs that take file names. The codecs work on bytes only; these
// read the file once, or write the finished bytes through a file that replaces the old
// one only when complete.
#include "codecs/PngFormat.h"
#include "codecs/cPNGparser.h"
#include "codecs/cPNGwriter.h"
#include "codecs/cTGAparser.h"
#include "imaging/ImageLimits.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cGDIPlus.h"
#include "platform/FileIO.h"

namespace quenda {

namespace {
// Enough of a file to see a PNG signature and the header chunk behind it.
constexpr size_t kPngFilePrefix = 58;
}  // namespace

bool cPNGparser::LoadFile(const std::filesystem::path& fileName, c32bppDIB& host,
                          uint32_t& gdiToken) {
    const std::optional<uint64_t> length = fileio::FileLength(fileName);
    std::vector<uint8_t> bytes;
    if (!length || *length < kMinFileBytes ||
        !fileio::ReadFilePrefix(fileName, kPngFilePrefix, bytes) ||
        !png::HasSignature(bytes.data(), bytes.size())) {
        return false;
    }
    if (!fileio::ReadWholeFile(fileName, bytes)) {
        host.DestroyDIB();
        return true;
    }
    return LoadStream(bytes.data(), bytes.size(), host, gdiToken);
}

bool cPNGwriter::Write(const c32bppDIB& image, const std::filesystem::path& fileName,
                       std::vector<uint8_t>& out) const {
    if (fileName.empty()) {
        return WriteToBytes(image, out);
    }
    std::vector<uint8_t> png;
    return WriteToBytes(image, png) && fileio::WriteFileReplacing(fileName, png);
}

bool cTGAparser::SaveAsTGA(const std::filesystem::path& fileName, std::vector<uint8_t>& outStream,
                           const c32bppDIB& host, bool allowPreMultipliedAlpha, bool useCompression,
                           bool useBitReduction) {
    if (!EncodeTGA(outStream, host, allowPreMultipliedAlpha, useCompression, useBitReduction)) {
        return false;
    }
    if (!fileName.empty() && !fileio::WriteFileReplacing(fileName, outStream)) {
        outStream.clear();
        return false;
    }
    return true;
}

bool cGDIPlus::SaveToJPG(const std::filesystem::path& fileName, std::vector<uint8_t>& bytes,
                         const c32bppDIB& image, int32_t quality, uint32_t token) {
    std::vector<uint8_t> encoded;
    if (!EncodeJPG(image, quality, token, encoded)) {
        return false;
    }
    if (!fileName.empty()) {
        return fileio::WriteFileReplacing(fileName, encoded);
    }
    bytes = std::move(encoded);
    return true;
}

}  // namespace quenda
