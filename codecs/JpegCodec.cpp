#include "codecs/JpegCodec.h"

#include <turbojpeg.h>

#include <memory>

namespace quenda::jpeg {

namespace {

struct HandleCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

struct BufferFree {
    void operator()(unsigned char* buffer) const { tjFree(buffer); }
};

// Warnings (a slightly damaged stream) still give a picture.
bool Succeeded(int result, void* handle) {
    return result == 0 || tjGetErrorCode(handle) == TJERR_WARNING;
}

}  // namespace

bool LooksLikeJpeg(const uint8_t* data, size_t size) {
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

bool DecodeJpeg(const uint8_t* data, size_t size, StdPicture& out) {
    out.clear();
    if (data == nullptr || !LooksLikeJpeg(data, size) || size > UINT32_MAX) {
        return false;
    }
    Handle handle(tjInitDecompress());
    if (!handle) {
        return false;
    }
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(handle.get(), data, static_cast<unsigned long>(size), &width, &height,
                            &subsampling, &colorspace) != 0) {
        return false;
    }
    std::unique_ptr<uint8_t[]> pixels = AllocatePixels(width, height, 4);
    if (!pixels) {
        return false;
    }
    // BGRA output fills the alpha bytes with 255; bottom-up matches the buffer.
    const int result =
        tjDecompress2(handle.get(), data, static_cast<unsigned long>(size), pixels.get(), width,
                      width * 4, height, TJPF_BGRA, TJFLAG_BOTTOMUP);
    if (!Succeeded(result, handle.get())) {
        return false;
    }
    out.type = StdPicture::kBitmap;
    out.width = width;
    out.height = height;
    out.bgra = std::move(pixels);
    return true;
}

bool EncodeJpeg(const uint8_t* bgraBottomUp, int32_t width, int32_t height, int quality,
                std::vector<uint8_t>& out) {
    out.clear();
    if (bgraBottomUp == nullptr || width <= 0 || height <= 0) {
        return false;
    }
    Handle handle(tjInitCompress());
    if (!handle) {
        return false;
    }
    // Full colour resolution at high qualities, where the user asks for fidelity.
    const int subsampling = quality >= 90 ? TJSAMP_444 : TJSAMP_420;
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    const int result = tjCompress2(handle.get(), bgraBottomUp, width, width * 4, height, TJPF_BGRX,
                                   &buffer, &length, subsampling, quality, TJFLAG_BOTTOMUP);
    std::unique_ptr<unsigned char, BufferFree> owned(buffer);
    if (result != 0 || buffer == nullptr) {
        return false;
    }
    out.assign(buffer, buffer + length);
    return true;
}

}  // namespace quenda::jpeg
