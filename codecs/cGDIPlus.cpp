#include "imaging/cGDIPlus.h"

#include <cstring>

#include "imaging/AlphaAnalysis.h"
#include "imaging/PixelMath.h"
#include "imaging/c32bppDIB.h"
#include "platform/FileIO.h"
#include "codecs/JpegCodec.h"
#include "codecs/StdPicture.h"

namespace quenda {

namespace {

// The token the stand-in hands out: any non-zero value will do, since TurboJPEG
// needs no start-up.
constexpr uint32_t kStandInToken = 1;

// JPEG has no alpha: partly transparent pixels are written with their straight
// colour, fully transparent ones black.
std::vector<uint8_t> StraightColours(const c32bppDIB& image) {
    const uint8_t* src = image.BitsPointer();
    std::vector<uint8_t> out(src, src + image.ByteCount());
    for (size_t i = 0; i < out.size(); i += 4) {
        const uint8_t a = out[i + 3];
        for (size_t c = 0; c < 3; ++c) {
            out[i + c] = Unpremultiply(out[i + c], a);
        }
    }
    return out;
}

}  // namespace

cGDIPlus::~cGDIPlus() {
    if (ownToken_ != 0) {
        ShutdownToken(ownToken_);
    }
}

bool cGDIPlus::isGDIplusOk(uint32_t* token, bool keepToken) {
    if (ownToken_ != 0) {
        if (token != nullptr) {
            *token = ownToken_;
        }
        return true;
    }
    // TurboJPEG is linked, so the stand-in is always available.
    if (keepToken && token != nullptr) {
        *token = kStandInToken;
    }
    return true;
}

bool cGDIPlus::ShutdownToken(uint32_t token) {
    return token != 0;
}

bool cGDIPlus::Start(uint32_t token) {
    if (token != 0 || ownToken_ != 0) {
        return true;
    }
    return isGDIplusOk(&ownToken_, true);
}

int32_t cGDIPlus::ClampJpegQuality(int32_t quality) {
    return quality < 30 ? 30 : (quality > 100 ? 100 : quality);
}

bool cGDIPlus::SaveToPNG(const std::filesystem::path&, std::vector<uint8_t>&, const c32bppDIB&,
                         uint32_t) {
    return false;
}

bool cGDIPlus::SaveToJPG(const std::filesystem::path& fileName, std::vector<uint8_t>& bytes,
                         const c32bppDIB& image, int32_t quality, uint32_t token) {
    if (image.Handle() == 0 || !Start(token)) {
        return false;
    }
    std::vector<uint8_t> encoded;
    const int32_t used = ClampJpegQuality(quality);
    const bool ok = image.Alpha() ? jpeg::EncodeJpeg(StraightColours(image).data(), image.Width(),
                                                     image.Height(), used, encoded)
                                  : jpeg::EncodeJpeg(image.BitsPointer(), image.Width(),
                                                     image.Height(), used, encoded);
    if (!ok) {
        return false;
    }
    if (!fileName.empty()) {
        return fileio::WriteFileReplacing(fileName, encoded);
    }
    bytes = std::move(encoded);
    return true;
}

bool cGDIPlus::LoadPicture(const uint8_t* data, size_t size, c32bppDIB& image, uint32_t token) {
    image.DestroyDIB();
    StdPicture picture;
    if (!Start(token) || !jpeg::DecodeJpeg(data, size, picture) ||
        !image.AdoptBits(std::move(picture.bgra), picture.width, picture.height)) {
        return false;
    }
    // The decoder's pixels are already as the buffer holds them.
    ApplyAlphaAnalysis(image, false, AlphaMode::Analyze);
    image.setImageType(IMAGE_PNG);
    return true;
}

}  // namespace quenda
