#include "codecs/PictureLoader.h"

#include "codecs/BmpDecoder.h"
#include "codecs/BmpHeader.h"
#include "codecs/GifDecoder.h"
#include "codecs/JpegCodec.h"

namespace quenda {

bool LoadStdPicture(const uint8_t* data, size_t size, StdPicture& out, LoadFailure* why) {
    out.clear();
    if (data == nullptr || size < 2) {
        return false;
    }
    if (bmp::HasSignature(data, size)) {
        return bmp::DecodeBmp(data, size, out, why);
    }
    if (jpeg::LooksLikeJpeg(data, size)) {
        return jpeg::DecodeJpeg(data, size, out);
    }
    return false;
}

bool LoadPalettedPicture(const uint8_t* data, size_t size, StdPicture& out) {
    return gif::DecodeGifIndices(data, size, out);
}

}  // namespace quenda
