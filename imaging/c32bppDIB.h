#pragma once

#include <any>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "imaging/PngProperties.h"
#include "imaging/ImageTypes.h"
#include "imaging/LoadFailure.h"
#include "imaging/Surface.h"

namespace quenda {

class cPNGwriter;

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
    // Each is true exactly when the buffer holds an image afterwards. The icon
    // arguments choose the image of a multi-image icon file; other readers ignore
    // them. The file's name and extension play no part: the readers recognise the
    // data themselves.
    bool LoadPicture_File(const std::filesystem::path& fileName, int32_t iconWidth = 0,
                          int32_t iconHeight = 0, bool keepOriginalFormat = false,
                          int32_t iconBitDepth = 32);
    // startIndex below 0 counts from 0; length 0 means to the end of the array.
    bool LoadPicture_Stream(const std::vector<uint8_t>& bytes, int32_t iconWidth = 0,
                            int32_t iconHeight = 0, int64_t startIndex = 0, int64_t length = 0,
                            bool keepOriginalFormat = false, int32_t iconBitDepth = 32);
    bool LoadPicture_FromOrignalFormat(int32_t iconWidth = 0, int32_t iconHeight = 0,
                                       int32_t iconBitDepth = 32);
    // Why the last load failed, when a reader that recognised its format said so;
    // empty after a successful load or one no reader took.
    const LoadFailure& LastLoadFailure() const { return loadFailure_; }
    void SetLoadFailure(LoadFailure failure) { loadFailure_ = std::move(failure); }
    // Library-internal: takes over a filled block of width x height x 4 bytes as
    // the image (rows bottom-up), with ImageType 0 until the caller sets it.
    bool AdoptBits(std::unique_ptr<uint8_t[]> bits, int32_t width, int32_t height);
    // A start-up token of the imaging bridge kept by the caller across images; 0
    // on failure.
    uint32_t CreateGDIplusToken();
    bool DestroyGDIplusToken(uint32_t token);

    // --- Rendering ----------------------------------------------------------
    // Draws the image, or a rectangle of it, onto destinationDC, or into
    // destinationDIB when one is given. Sizes of 0 mean the image's; a negative
    // destination size mirrors that axis, a negative source size mirrors too.
    // Opacity is a percentage (<= 0 draws nothing; above 100 taken modulo 100).
    // Nothing is ever written outside the target surface.
    bool Render(const Surface& destinationDC, int32_t destX = 0, int32_t destY = 0,
                int32_t destWidth = 0, int32_t destHeight = 0, int32_t SrcX = 0, int32_t SrcY = 0,
                int32_t srcWidth = 0, int32_t srcHeight = 0, int32_t opacity = 100,
                bool blend = true, bool halftone = true, c32bppDIB* destinationDIB = nullptr,
                int32_t grayScale = -1, int32_t lightAdjustment = 0, double angle = 0.0,
                bool centerOnDestXY = false);
    // The size that fits destWidth x destHeight: mode 0 keeps the aspect ratio, 1 also
    // never enlarges, 2 takes the box itself, other modes the image's own size.
    void ScaleImage(int32_t destWidth, int32_t destHeight, int32_t& newWidth, int32_t& newHeight,
                    int32_t scaleMode) const;
    // Resamples the held image to a new size (0 keeps that side); negative mirrors.
    bool Resize(int32_t newWidth, int32_t newHeight);
    // Exchanges the pixel memory (and size) of two images.
    void SwapDIBs(c32bppDIB& other);

    // --- Saving -------------------------------------------------------------
    bool SaveToFile(const std::filesystem::path& fileName, bool promptOverwrite = false);
    bool SaveToStream(std::vector<uint8_t>& bytes) const;
    void setOverwritePrompt(OverwritePromptFn prompt) { overwritePrompt_ = std::move(prompt); }
    // JPEG through the imaging bridge; quality is clamped to 30..100.
    bool SaveToFile_JPG(const std::filesystem::path& fileName, int32_t quality = 100,
                        bool promptOverwrite = false);
    bool SaveToStream_JPG(std::vector<uint8_t>& bytes, int32_t quality = 100) const;
    // PNG: the platform bridge first and the own writer when it fails; once PNG
    // properties are set, the own writer (which holds them) first.
    bool SaveToFile_PNG(const std::filesystem::path& fileName, bool promptOverwrite = false);
    bool SaveToStream_PNG(std::vector<uint8_t>& bytes);
    // Stores a property of the PNGs this buffer writes (PngPropertyId); without a value
    // it removes the property, and PNGP_CLEAR_ALL drops them all.
    bool PngPropertySet(int32_t id, const std::optional<PngValue>& value = std::nullopt,
                        const std::string& caption = {});
    PngValue PngPropertyGet(int32_t id, const std::string& caption = {}) const;

    // TGA 2.0: run-length coded when compress (and smaller), 8-bit grey or colour
    // mapped when reduceBitDepth and the opaque image has at most 256 colours, alpha
    // kept premultiplied when allowPremultiplied.
    bool SaveToFile_TGA(const std::filesystem::path& fileName, bool compress = false,
                        bool reduceBitDepth = false, bool allowPremultiplied = false,
                        bool promptOverwrite = false);
    bool SaveToStream_TGA(std::vector<uint8_t>& bytes, bool compress = false,
                          bool reduceBitDepth = false, bool allowPremultiplied = false,
                          bool promptOverwrite = false) const;

    // --- Library-internal ---------------------------------------------------
    void setImageType(int32_t type) { imageType_ = type; }
    void setOriginalFormat(std::vector<uint8_t> bytes) { originalFormat_ = std::move(bytes); }
    // Byte offset of (x, y) counted from the top row.
    size_t PixelOffset(int32_t x, int32_t y) const {
        return (static_cast<size_t>(height_ - y - 1) * width_ + x) * 4;
    }

  private:
    // True when the file may be written: it does not exist, or prompting is off,
    // or the user agreed.
    bool mayOverwrite(const std::filesystem::path& fileName, bool promptOverwrite) const;
    bool writePng(const std::filesystem::path& fileName, std::vector<uint8_t>& bytes);

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
    LoadFailure loadFailure_;
    std::shared_ptr<cPNGwriter> pngWriter_;  // holder of the PNG properties, when set
};

}  // namespace quenda
