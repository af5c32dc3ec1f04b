#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace quenda {

class c32bppDIB;
struct DrawJob;
struct Surface;

// Stand-in for the platform imaging library: JPEG through TurboJPEG, drawing
// through the library's own scaling. It never writes or reads PNG.
class cGDIPlus {
  public:
    cGDIPlus() = default;
    ~cGDIPlus();
    cGDIPlus(const cGDIPlus&) = delete;
    cGDIPlus& operator=(const cGDIPlus&) = delete;

    // True when the stand-in can be used. With keepToken a token is returned in
    // token for the caller to keep.
    bool isGDIplusOk(uint32_t* token = nullptr, bool keepToken = false);
    // Ends what a token kept by a caller started; nothing for 0.
    static bool ShutdownToken(uint32_t token);

    // Encodes the image as PNG; the stand-in has no PNG encoder and answers false,
    // so the library's own writer runs.
    bool SaveToPNG(const std::filesystem::path& fileName, std::vector<uint8_t>& bytes,
                   const c32bppDIB& image, uint32_t token);
    // Encodes the image as JPEG into the file (when a name is given; the file part is
    // the platform's) or into bytes. Quality below 30 becomes 30, above 100 becomes 100.
    bool SaveToJPG(const std::filesystem::path& fileName, std::vector<uint8_t>& bytes,
                   const c32bppDIB& image, int32_t quality, uint32_t token);
    // The JPEG bytes alone; empty on failure.
    bool EncodeJPG(const c32bppDIB& image, int32_t quality, uint32_t token,
                   std::vector<uint8_t>& encoded);
    // Loads any picture the stand-in decodes (JPEG) into the image: ImageType 10,
    // Alpha from the alpha analysis. False, image empty, otherwise.
    bool LoadPicture(const uint8_t* data, size_t size, c32bppDIB& image, uint32_t token);

    // Draws with high-quality bicubic scaling, or nearest neighbour when highQuality
    // is false (cGDIPlus_Draw.cpp).
    bool DrawImage(const DrawJob& job, const Surface& dest, bool highQuality, uint32_t token);

    // The JPEG quality actually used for a requested one.
    static int32_t ClampJpegQuality(int32_t quality);

  private:
    // Makes sure the bridge may run: a caller's token, or one of its own.
    bool Start(uint32_t token);

    uint32_t ownToken_ = 0;
};

}  // namespace quenda
