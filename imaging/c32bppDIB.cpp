#include "imaging/c32bppDIB.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "imaging/ColorWord.h"
#include "imaging/ImageLimits.h"
#include "imaging/PixelMath.h"
#include "imaging/ScaledCopy.h"
#include "imaging/cGDIPlus.h"

namespace quenda {

c32bppDIB::c32bppDIB() {
    // This platform blends alpha itself and takes Unicode names.
    capabilities_ = CAP_CAN_ALPHABLEND | CAP_UNICODE_NAMES | CAP_ALPHABLEND_FRIENDLY;
    setIsGDIplusEnabled(true);
    if (isGDIplusEnabled()) {
        highQualityInterpolation_ = true;
    }
}

c32bppDIB::~c32bppDIB() {
    DestroyDIB();
}

void c32bppDIB::setManageOwnDC(bool value) {
    // Without device contexts there is nothing to keep alive; only the flag remains.
    manageOwnDC_ = value;
}

void c32bppDIB::setIsAlphaBlendFriendly(bool value) {
    if (!value) {
        capabilities_ &= ~CAP_ALPHABLEND_FRIENDLY;
    } else if (capabilities_ & (CAP_CAN_ALPHABLEND | CAP_CAN_ALPHABLEND_RESTRICTED)) {
        capabilities_ |= CAP_ALPHABLEND_FRIENDLY;
    }
}

void c32bppDIB::setIsGDIplusEnabled(bool value) {
    capabilities_ &= ~CAP_GDIPLUS_ENABLED;
    if (value && !(capabilities_ & CAP_NO_GDIPLUS)) {
        cGDIPlus bridge;
        if (bridge.isGDIplusOk()) {
            capabilities_ |= CAP_GDIPLUS_ENABLED;
        }
    }
}

void c32bppDIB::setGdiToken(uint32_t token) {
    gdiToken_ = token;
}

void c32bppDIB::setKeepGDIplusActive(bool value) {
    keepGDIplusActive_ = value && isGDIplusEnabled();
}

bool c32bppDIB::InitializeDIB(int32_t width, int32_t height) {
    DestroyDIB();
    if (width <= 0 || height == 0 || height == INT32_MIN) {
        return false;
    }
    height = height < 0 ? -height : height;
    const uint64_t pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    if (pixels > kMaxImagePixels) {
        return false;
    }
    bits_.reset(new (std::nothrow) uint8_t[pixels * 4]);
    if (!bits_) {
        return false;
    }
    width_ = width;
    height_ = height;
    EraseDIB();
    return true;
}

void c32bppDIB::DestroyDIB() {
    bits_.reset();
    originalFormat_.clear();
    originalFormat_.shrink_to_fit();
    width_ = 0;
    height_ = 0;
    alpha_ = false;
    imageType_ = IMAGE_NONE;
}

void c32bppDIB::EraseDIB() {
    if (!bits_) {
        return;
    }
    std::memset(bits_.get(), 0, ByteCount());
    imageType_ = IMAGE_BLANK;
    alpha_ = true;
}

int32_t c32bppDIB::GetPixel(int32_t x, int32_t y, uint8_t* alphaValue, bool asPremultiplied) const {
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) {
        if (alphaValue) {
            *alphaValue = 0;
        }
        return -1;
    }
    const uint8_t* p = bits_.get() + PixelOffset(x, y);
    const uint8_t a = p[3];
    if (alphaValue) {
        *alphaValue = a;
    }
    uint8_t b = p[0], g = p[1], r = p[2];
    if (!asPremultiplied) {
        b = Unpremultiply(b, a);
        g = Unpremultiply(g, a);
        r = Unpremultiply(r, a);
    }
    return static_cast<int32_t>(ColorWord(r, g, b));
}

uint8_t* c32bppDIB::SetPixel(int32_t x, int32_t y, uint32_t color, int32_t alphaValue,
                             bool isPremultiplied) {
    if (!bits_ || alphaValue < 0 || alphaValue > 255 || x < 0 || y < 0 || x >= width_ ||
        y >= height_) {
        return nullptr;
    }
    uint8_t* p = bits_.get() + PixelOffset(x, y);
    const uint8_t a = static_cast<uint8_t>(alphaValue);
    if (a != 255) {
        alpha_ = true;
    }
    if (a == 0) {
        std::memset(p, 0, 4);
        return p;
    }
    const ColorChannels c = ChannelsOf(color);
    const bool keepGiven = a == 255 || isPremultiplied;
    p[0] = keepGiven ? ClampToAlpha(c.blue, a) : Premultiply(c.blue, a);
    p[1] = keepGiven ? ClampToAlpha(c.green, a) : Premultiply(c.green, a);
    p[2] = keepGiven ? ClampToAlpha(c.red, a) : Premultiply(c.red, a);
    p[3] = a;
    return p;
}

namespace {

// The rectangle of a bulk copy after defaults and clipping; empty when refused.
struct ClippedRect {
    int32_t x = 0, y = 0, width = 0, height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
};

ClippedRect ClipRect(int32_t imageWidth, int32_t imageHeight, int32_t x, int32_t y, int32_t width,
                     int32_t height) {
    ClippedRect r;
    if (x < 0 || y < 0 || x >= imageWidth || y >= imageHeight || width < 0 || height < 0) {
        return r;
    }
    r.x = x;
    r.y = y;
    r.width = (width == 0 || width > imageWidth - x) ? imageWidth - x : width;
    r.height = (height == 0 || height > imageHeight - y) ? imageHeight - y : height;
    return r;
}

size_t RowLength(const DIBbitsLayout& layout, int32_t width) {
    const size_t w = static_cast<size_t>(width);
    if (layout.bits32) {
        return w * 4;
    }
    return layout.alignedRows ? (w * 3 + 3) / 4 * 4 : w * 3;
}

}  // namespace

bool c32bppDIB::GetDIBbits(std::vector<uint8_t>& bytes, const DIBbitsLayout& layout, int32_t x,
                           int32_t y, int32_t width, int32_t height, bool premultiplied) const {
    if (!bits_) {
        return false;
    }
    const ClippedRect rect = ClipRect(width_, height_, x, y, width, height);
    if (rect.empty()) {
        return false;
    }
    const size_t rowLength = RowLength(layout, rect.width);
    const bool wholeStoredImage = layout.bits32 && layout.blueGreenRed && layout.bottomUp &&
                                  premultiplied && rect.width == width_ && rect.height == height_;
    if (wholeStoredImage) {
        bytes.assign(bits_.get(), bits_.get() + ByteCount());
        return true;
    }
    bytes.assign(rowLength * rect.height, 0);
    const int pixelSize = layout.bits32 ? 4 : 3;
    for (int32_t row = 0; row < rect.height; ++row) {
        // Output row `row` holds picture row `pictureY` of the rectangle.
        const int32_t pictureY = layout.bottomUp ? rect.y + rect.height - 1 - row : rect.y + row;
        const uint8_t* src = bits_.get() + PixelOffset(rect.x, pictureY);
        uint8_t* dst = bytes.data() + rowLength * row;
        for (int32_t col = 0; col < rect.width; ++col, src += 4, dst += pixelSize) {
            const uint8_t a = src[3];
            uint8_t b = src[0], g = src[1], r = src[2];
            if (!premultiplied) {
                b = Unpremultiply(b, a);
                g = Unpremultiply(g, a);
                r = Unpremultiply(r, a);
                if (a == 0) {
                    b = g = r = 0;
                }
            }
            dst[0] = layout.blueGreenRed ? b : r;
            dst[1] = g;
            dst[2] = layout.blueGreenRed ? r : b;
            if (layout.bits32) {
                dst[3] = a;
            }
        }
    }
    return true;
}

bool c32bppDIB::SetDIBbits(const std::vector<uint8_t>& bytes, const DIBbitsLayout& layout,
                           int32_t x, int32_t y, int32_t width, int32_t height) {
    if (!bits_ || bytes.empty()) {
        return false;
    }
    const ClippedRect rect = ClipRect(width_, height_, x, y, width, height);
    if (rect.empty()) {
        return false;
    }
    // The caller's array describes `width` columns (the clipped width when 0).
    const int32_t sourceWidth = width > 0 ? width : rect.width;
    const size_t rowLength = RowLength(layout, sourceWidth);
    const int pixelSize = layout.bits32 ? 4 : 3;
    const int32_t sourceRows = height > 0 ? height : rect.height;
    if (bytes.size() / rowLength < static_cast<size_t>(sourceRows)) {
        return false;
    }
    for (int32_t row = 0; row < rect.height; ++row) {
        const int32_t sourceRow = layout.bottomUp ? sourceRows - 1 - row : row;
        const uint8_t* src = bytes.data() + rowLength * sourceRow;
        uint8_t* dst = bits_.get() + PixelOffset(rect.x, rect.y + row);
        for (int32_t col = 0; col < rect.width; ++col, src += pixelSize, dst += 4) {
            dst[0] = layout.blueGreenRed ? src[0] : src[2];
            dst[1] = src[1];
            dst[2] = layout.blueGreenRed ? src[2] : src[0];
            dst[3] = layout.bits32 ? src[3] : 255;
        }
    }
    return true;
}

void c32bppDIB::CopyImageTo(std::unique_ptr<c32bppDIB>& destination, int32_t width, int32_t height,
                            bool copyOriginalFormat) const {
    if (!bits_) {
        return;
    }
    width = width == 0 ? width_ : width;
    height = height == 0 ? height_ : height;
    const int32_t absWidth = width < 0 ? -width : width;
    const int32_t absHeight = height < 0 ? -height : height;
    if (!destination) {
        destination = std::make_unique<c32bppDIB>();
        destination->setGdiToken(gdiToken_);
        destination->setIsGDIplusEnabled(isGDIplusEnabled());
        destination->setHighQualityInterpolation(highQualityInterpolation_);
        destination->InitializeDIB(absWidth, absHeight);
    } else if (destination->Width() != absWidth || destination->Height() != absHeight) {
        destination->InitializeDIB(absWidth, absHeight);
    }
    if (!destination->Handle()) {
        return;
    }
    destination->setAlpha(alpha_);
    destination->setImageType(imageType_);
    if (absWidth == width_ && absHeight == height_ && width > 0 && height > 0) {
        std::memcpy(destination->BitsPointer(), bits_.get(), ByteCount());
    } else {
        DrawScaledCopy(*this, *destination, width, height, isGDIplusEnabled());
    }
    if (copyOriginalFormat) {
        destination->setOriginalFormat(originalFormat_);
    }
}

bool c32bppDIB::GetOrginalFormat(std::vector<uint8_t>& bytes) const {
    bytes = originalFormat_;
    return !bytes.empty();
}

Surface c32bppDIB::LoadDIBinDC(bool select) {
    Surface surface;
    if (!select || !bits_) {
        return surface;
    }
    // Memory is bottom-up: the top row is the last one.
    surface.width = width_;
    surface.height = height_;
    surface.stride = -static_cast<std::ptrdiff_t>(scanWidth());
    surface.bits = bits_.get() + static_cast<size_t>(height_ - 1) * scanWidth();
    return surface;
}

}  // namespace quenda
