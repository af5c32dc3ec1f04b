#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/PaletteLimits.h"
#include "engine/RLEEncoder.h"
#include "engine/ZorixImgEngineEvents.h"
#include "imaging/Failure.h"
#include "imaging/Surface.h"

namespace quenda {

class c32bppDIB;

enum IMG_LOAD_TYPES : int32_t {
    IL_UNKNOWN = 0,
    IL_BMP_RL = 1,
    IL_BMP_24 = 2,
    IL_BMP_32 = 3,
    IL_PNG = 4,
    IL_GIF = 5,
};

enum IMG_SAVE_TYPES : int32_t {
    IS_AUTO = 0,
    IS_BMP_RL = 1,
    IS_BMP_24 = 2,
    IS_BMP_32 = 3,
    IS_PNG = 4,
    IS_JPG = 5,
};

// The engine a program drives: holds at most one image with facts about its file,
// recognises the file kinds, loads device bitmaps and ordinary images, and saves
// the image in the five target formats. Members never throw; failures are false
// results, with the failure in LastFailure and its text in LastFailureReason.
class ZorixImgEngine {
  public:
    ZorixImgEngine();
    ~ZorixImgEngine();
    ZorixImgEngine(const ZorixImgEngine&) = delete;
    ZorixImgEngine& operator=(const ZorixImgEngine&) = delete;

    // Events go to every subscriber, in the order subscribed.
    void Subscribe(ZorixImgEngineEvents* subscriber) { events_.Subscribe(subscriber); }
    void Unsubscribe(ZorixImgEngineEvents* subscriber) { events_.Unsubscribe(subscriber); }

    float RLEColorAccuracy() const { return colorAccuracy_; }
    void setRLEColorAccuracy(float value);
    int32_t RLEMaxPalleteSize() const { return maxPaletteSize_; }
    void setRLEMaxPalleteSize(int32_t value);
    // How colours are reduced to the palette limit or accuracy (Classic by default),
    // and whether the best-quality reduction diffuses its error (off by default).
    RLEReduction RLEReductionMode() const { return reduction_; }
    void setRLEReductionMode(RLEReduction value);
    bool RLEDither() const { return dither_; }
    void setRLEDither(bool value) { dither_ = value; }
    // Of the last device bitmap written: its colour entries (N - 1), and whether
    // rows had more colours than the format could address and were reduced.
    int32_t RLEWrittenColors() const { return writtenColors_; }
    bool RLERowsReduced() const { return rowsReduced_; }

    const std::string& FileName() const { return fileName_; }
    const std::string& FilePath() const { return filePath_; }
    const std::string& FileDir() const { return fileDir_; }
    int32_t FileSize() const;
    std::string FileSizeDesc() const;
    const std::string& FileType() const { return fileType_; }

    IMG_LOAD_TYPES ImageType() const { return imageType_; }
    std::string ImageTypeDesc() const;
    bool ImageHasAlpha() const;
    int32_t ImageWidth() const;
    int32_t ImageHeight() const;
    bool ImageIsLoaded() const;
    int32_t ImageBgColor() const { return bgColor_; }
    void setImageBgColor(int32_t color) { bgColor_ = color; }
    int32_t RLEColors() const { return rleColors_; }

    // The image composed over ImageBgColor at its own size (an opaque picture), or
    // nullptr without an image.
    std::unique_ptr<c32bppDIB> Picture() const;
    // As Picture, drawn stretched to tnWidth x tnHeight; with keepAspectRatio the
    // size shrinks to keep the image's proportions. nullptr without an image.
    std::unique_ptr<c32bppDIB> Thumbnail(int32_t tnWidth = 64, int32_t tnHeight = 64,
                                         bool keepAspectRatio = false) const;
    // Draws the image onto a surface at full opacity; false without an image.
    bool Render(const Surface& destinationDC, int32_t destX = 0, int32_t destY = 0,
                int32_t destWidth = 0, int32_t destHeight = 0, int32_t SrcX = 0, int32_t SrcY = 0,
                int32_t srcWidth = 0, int32_t srcHeight = 0) const;

    bool LoadImage(const std::string& path);
    bool SaveImageAs(const std::string& path, int32_t saveType = IS_AUTO);

    // The path SaveImageAs writes for `type`: trimmed, with the extension the format
    // requires ("bmp", "png", "jpg"; ".jpeg" is kept).
    static std::string DestinationPath(const std::string& path, IMG_SAVE_TYPES type);

    bool IsGIF(const std::string& path) const;
    bool IsPNG(const std::string& path) const;
    bool IsBMP(const std::string& path) const;
    bool IsJPG(const std::string& path) const;
    bool IsRLE(const std::string& path, bool* retHasAlpha = nullptr) const;

    // Why the last LoadImage or SaveImageAs failed; no failure after a success.
    const Failure& LastFailure() const { return failure_; }
    // The text of LastFailure; empty after a success.
    const std::string& LastFailureReason() const { return failureReason_; }
    // The held image, or nullptr.
    const c32bppDIB* Image() const { return image_.get(); }

  private:
    void ResetImage();
    // Keeps `failure` as the last one; always false.
    bool Fail(Failure failure);
    void ClearFailure();
    std::unique_ptr<c32bppDIB> ComposeOverBackground(int32_t width, int32_t height) const;
    bool LoadOrdinaryImage(const std::string& path);
    // Writes the image to `path` in the format of `type`.
    bool WriteImage(const std::string& path, IMG_SAVE_TYPES type);
    bool WriteRLE(const std::string& path);

    EngineEventHub events_;
    std::unique_ptr<c32bppDIB> image_;
    std::string fileName_;
    std::string fileSize_ = "0";
    std::string fileType_;
    std::string filePath_;
    std::string fileDir_;
    IMG_LOAD_TYPES imageType_ = IL_UNKNOWN;
    int32_t rleColors_ = 0;
    int32_t bgColor_ = 0;
    float colorAccuracy_ = 100.0f;
    int32_t maxPaletteSize_ = 0;
    Failure failure_;
    RLEReduction reduction_ = RLEReduction::Classic;
    bool dither_ = false;
    int32_t writtenColors_ = 0;
    bool rowsReduced_ = false;
    std::string failureReason_;
};

}  // namespace quenda
