#pragma once

#include <any>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "imaging/ImageTypes.h"
#include "imaging/Surface.h"

namespace quenda {

// The one image type of the library: Width x Height pixels of 4 bytes (Blue, Green,
// Red, Alpha), colours premultiplied by alpha, rows stored bottom-up with no padding.
// Pixel access by (X from the left, Y from the top) converts to that order.
class c32bppDIB {
  public:
    // Asked before a file member replaces an existing file when prompting is on:
    // (text, title) -> true for Yes. Without one set, the answer is No.
    using OverwritePromptFn = std::function<bool(const std::string&, const std::string&)>;

    c32bppDIB();
    ~c32bppDIB();
    c32bppDIB(const c32bppDIB&) = delete;
    c32bppDIB& operator=(const c32bppDIB&) = delete;

    // --- Properties ---------------------------------------------------------
    bool Alpha() const { return alpha_; }
    void setAlpha(bool value) { alpha_ = value; }
    bool HighQualityInterpolation() const { return highQualityInterpolation_; }
    void setHighQualityInterpolation(bool value) { highQualityInterpolation_ = value; }
    int32_t ImageType() const { return imageType_; }
    bool ManageOwnDC() const { return manageOwnDC_; }
    void setManageOwnDC(bool value);
    bool isAlphaBlendFriendly() const { return (capabilities_ & CAP_ALPHABLEND_FRIENDLY) != 0; }
    void setIsAlphaBlendFriendly(bool value);
    bool isGDIplusEnabled() const { return (capabilities_ & CAP_GDIPLUS_ENABLED) != 0; }
    void setIsGDIplusEnabled(bool value);
    uint32_t gdiToken() const { return gdiToken_; }
    void setGdiToken(uint32_t token);
    bool KeepGDIplusActive() const { return keepGDIplusActive_; }
    void setKeepGDIplusActive(bool value);
    const std::any& Tag() const { return tag_; }
    void setTag(std::any value) { tag_ = std::move(value); }
    uint32_t CapabilityFlags() const { return capabilities_; }

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    int32_t scanWidth() const { return width_ * 4; }
    uint8_t* BitsPointer() { return bits_.get(); }
    const uint8_t* BitsPointer() const { return bits_.get(); }
    size_t ByteCount() const { return static_cast<size_t>(width_) * height_ * 4; }
    // Non-zero while an image is held.
    uintptr_t Handle() const { return reinterpret_cast<uintptr_t>(bits_.get()); }
    bool isZlibEnabled() const;

    // --- The buffer -----------------------------------------------------------
    bool InitializeDIB(int32_t width, int32_t height);
    void DestroyDIB();
    void EraseDIB();

    // Colour 0x00BBGGRR of the pixel, or -1 outside the image.
    int32_t GetPixel(int32_t x, int32_t y, uint8_t* alphaValue = nullptr,
                     bool asPremultiplied = false) const;
    // The written pixel's bytes, or nullptr when nothing was written.
    uint8_t* SetPixel(int32_t x, int32_t y, uint32_t color, int32_t alphaValue,
                      bool isPremultiplied = false);
    bool GetDIBbits(std::vector<uint8_t>& bytes, const DIBbitsLayout& layout, int32_t x = 0,
                    int32_t y = 0, int32_t width = 0, int32_t height = 0,
                    bool premultiplied = true) const;
    bool SetDIBbits(const std::vector<uint8_t>& bytes, const DIBbitsLayout& layout, int32_t x = 0,
                    int32_t y = 0, int32_t width = 0, int32_t height = 0);
    // Width or Height 0 mean this image's size. A missing destination is created.
    void CopyImageTo(std::unique_ptr<c32bppDIB>& destination, int32_t width = 0, int32_t height = 0,
                     bool copyOriginalFormat = false) const;
    bool GetOrginalFormat(std::vector<uint8_t>& bytes) const;
    // A drawing view of the whole buffer (invalid without an image). With select
    // false nothing is held and an invalid view is returned.
    Surface LoadDIBinDC(bool select);

    // --- Loading ------------------------------------------------------------

    // --- Rendering ----------------------------------------------------------

    // --- Saving -------------------------------------------------------------
    bool SaveToFile(const std::filesystem::path& fileName, bool promptOverwrite = false);
    bool SaveToStream(std::vector<uint8_t>& bytes) const;
    void setOverwritePrompt(OverwritePromptFn prompt) { overwritePrompt_ = std::move(prompt); }

    // --- Library-internal ---------------------------------------------------
    void setImageType(int32_t type) { imageType_ = type; }
    void setOriginalFormat(std::vector<uint8_t> bytes) { originalFormat_ = std::move(bytes); }
    // Byte offset of (x, y) counted from the top row.
    size_t PixelOffset(int32_t x, int32_t y) const {
        return (static_cast<size_t>(height_ - y - 1) * width_ + x) * 4;
    }
    // Largest image the buffer accepts, in pixels.
    static constexpr uint64_t kMaxPixels = uint64_t{1} << 28;

  private:
    // True when the file may be written: it does not exist, or prompting is off,
    // or the user agreed.
    bool mayOverwrite(const std::filesystem::path& fileName, bool promptOverwrite) const;

    std::unique_ptr<uint8_t[]> bits_;
    int32_t width_ = 0;
    int32_t height_ = 0;
    bool alpha_ = false;
    bool highQualityInterpolation_ = false;
    int32_t imageType_ = IMAGE_NONE;
    bool manageOwnDC_ = false;
    uint32_t capabilities_ = 0;
    uint32_t gdiToken_ = 0;
    bool keepGDIplusActive_ = false;
    std::any tag_;
    std::vector<uint8_t> originalFormat_;
    OverwritePromptFn overwritePrompt_;
};

}  // namespace quenda
