#include "engine/ZorixImgEngine.h"

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "codecs/GifFormat.h"
#include "codecs/PngFormat.h"
#include "engine/BatchRules.h"
#include "engine/FileFacts.h"
#include "engine/RLEDecoder.h"
#include "engine/RLEEncoder.h"
#include "engine/RLEFormat.h"
#include "imaging/c32bppDIB.h"
#include "codecs/BmpHeader.h"
#include "platform/FileIO.h"

namespace quenda {

namespace {

// The first bytes of a file, or an empty array when it cannot be read.
std::vector<uint8_t> FilePrefix(const std::string& path, size_t count) {
    std::vector<uint8_t> bytes;
    fileio::ReadFilePrefix(TrimBlanks(path), count, bytes);
    return bytes;
}

bool StartsWith(const std::vector<uint8_t>& bytes, std::initializer_list<uint8_t> expected) {
    return bytes.size() >= expected.size() &&
           std::equal(expected.begin(), expected.end(), bytes.begin());
}

}  // namespace

ZorixImgEngine::ZorixImgEngine() {
    ResetImage();
}

ZorixImgEngine::~ZorixImgEngine() {
    ResetImage();
}

void ZorixImgEngine::ResetImage() {
    if (image_) {
        image_->DestroyDIB();
        image_.reset();
    }
    fileName_.clear();
    fileType_.clear();
    filePath_.clear();
    fileDir_.clear();
    fileSize_ = "0";
    imageType_ = IL_UNKNOWN;
}

void ZorixImgEngine::setRLEColorAccuracy(float value) {
    if (std::isnan(value) || value < kMinColorAccuracy) {
        value = kMinColorAccuracy;
    } else if (value > kMaxColorAccuracy) {
        value = kMaxColorAccuracy;
    }
    colorAccuracy_ = value;
}

void ZorixImgEngine::setRLEMaxPalleteSize(int32_t value) {
    maxPaletteSize_ = (value < 0 || value > kMaxPaletteLimit) ? 0 : value;
}

int32_t ZorixImgEngine::FileSize() const {
    const long long size = std::atoll(fileSize_.c_str());
    return size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size);
}

std::string ZorixImgEngine::FileSizeDesc() const {
    return FormatFileSizeText(std::strtoull(fileSize_.c_str(), nullptr, 10));
}

std::string ZorixImgEngine::ImageTypeDesc() const {
    static const std::array<const char*, 6> kNames = {"Unknown",     "RLE Bitmap", "RGB Bitmap",
                                                      "aRGB Bitmap", "PNG",        "GIF"};
    return (imageType_ >= 1 && imageType_ <= 5) ? kNames[imageType_] : kNames[0];
}

bool ZorixImgEngine::ImageHasAlpha() const {
    return image_ && image_->Alpha();
}

int32_t ZorixImgEngine::ImageWidth() const {
    return image_ ? image_->Width() : 0;
}

int32_t ZorixImgEngine::ImageHeight() const {
    return image_ ? image_->Height() : 0;
}

bool ZorixImgEngine::ImageIsLoaded() const {
    return image_ && image_->Handle() != 0;
}

bool ZorixImgEngine::IsBMP(const std::string& path) const {
    const std::vector<uint8_t> head = FilePrefix(path, bmp::kSignature.size());
    return bmp::HasSignature(head.data(), head.size());
}

bool ZorixImgEngine::IsRLE(const std::string& path, bool* retHasAlpha) const {
    const std::vector<uint8_t> header = FilePrefix(path, rle::kHeaderSize);
    if (!rle::HasSignature(header.data(), header.size())) {
        return false;
    }
    if (retHasAlpha) {
        *retHasAlpha = rle::ReadHeader(header.data()).hasAlpha;
    }
    return true;
}

bool ZorixImgEngine::IsPNG(const std::string& path) const {
    const std::vector<uint8_t> head = FilePrefix(path, png::kSignature.size());
    return png::HasSignature(head.data(), head.size());
}

bool ZorixImgEngine::IsGIF(const std::string& path) const {
    const std::vector<uint8_t> head = FilePrefix(path, gif::kSignatureSize);
    return gif::HasSignature(head.data(), head.size());
}

bool ZorixImgEngine::IsJPG(const std::string& path) const {
    return StartsWith(FilePrefix(path, 10),
                      {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F'});
}

bool ZorixImgEngine::LoadImage(const std::string& a) {
    ResetImage();
    failureReason_.clear();
    const std::string path = TrimBlanks(a);
    if (path.empty() || !fileio::Exists(path)) {
        failureReason_ = "the file does not exist";
        return false;
    }
    const std::optional<uint64_t> length = fileio::FileLength(path);
    if (length) {
        fileSize_ = std::to_string(*length);
    }
    if (!length || *length == 0) {
        failureReason_ = length ? "the file is empty" : "the file cannot be read";
        return false;
    }
    fileName_ = FileNamePart(path);
    fileType_ = UpperExtension(path);
    filePath_ = path;
    fileDir_ = FolderPart(path);
    image_ = std::make_unique<c32bppDIB>();

    if (fileType_ == "BMP" && IsRLE(path)) {
        const RLEDecodeResult decoded = DecodeRLE(path, *image_, events_);
        if (decoded.headerRead) {
            rleColors_ = decoded.colorCount;
        }
        if (decoded.success) {
            imageType_ = IL_BMP_RL;
        } else {
            failureReason_ = decoded.failureReason;
        }
    } else if (!LoadOrdinaryImage(path) && failureReason_.empty()) {
        const LoadFailure& why = image_->LastLoadFailure();
        failureReason_ = why ? why.Describe() : "not a supported image";
    }

    if (imageType_ != IL_UNKNOWN) {
        return true;
    }
    ResetImage();
    return false;
}

bool ZorixImgEngine::LoadOrdinaryImage(const std::string& path) {
    // Ordinary BMP, PNG and GIF files load through the image library's reader
    // chain, which recognises the data itself; the signature test picks the kind.
    const auto load = [&] { return image_->LoadPicture_File(path, 0, 0, false, 32); };
    if (fileType_ == "BMP") {
        if (IsBMP(path) && load()) {
            imageType_ = image_->Alpha() ? IL_BMP_32 : IL_BMP_24;
        }
    } else if (fileType_ == "PNG") {
        if (IsPNG(path) && load()) {
            imageType_ = IL_PNG;
        }
    } else if (fileType_ == "GIF") {
        if (IsGIF(path) && load()) {
            imageType_ = IL_GIF;
        }
    }
    return imageType_ != IL_UNKNOWN;
}

std::string ZorixImgEngine::DestinationPath(const std::string& a, IMG_SAVE_TYPES type) {
    const std::string path = TrimBlanks(a);
    const std::string wanted = batch::TargetExtension(type);
    const std::string ext = UpperExtension(path);
    // A name that already has the type's extension keeps it, ".jpeg" included.
    const bool fits = ext == UpperCased(wanted) || (type == IS_JPG && ext == "JPEG");
    return wanted.empty() || fits ? path : ReplaceExtension(path, wanted);
}

bool ZorixImgEngine::SaveImageAs(const std::string& a, int32_t b) {
    failureReason_.clear();
    if (!image_ || b < IS_AUTO || b > IS_JPG) {
        failureReason_ = image_ ? "unknown save type" : "no image is loaded";
        return false;
    }
    static const std::array<IMG_SAVE_TYPES, 6> kAutoType = {IS_AUTO,   IS_BMP_RL, IS_BMP_24,
                                                            IS_BMP_32, IS_PNG,    IS_JPG};
    const IMG_SAVE_TYPES type =
        b == IS_AUTO ? kAutoType[imageType_] : static_cast<IMG_SAVE_TYPES>(b);
    if (type == IS_AUTO) {
        failureReason_ = "no image kind to save as";
        return false;
    }

    const std::string path = DestinationPath(a, type);

    // A destination that cannot be replaced fails here, before a long encoding, and
    // without touching an existing file.
    if (!fileio::CanReplace(path)) {
        failureReason_ = fileio::LastWriteError();
        return false;
    }
    // Every writer below replaces the destination only with a complete new file, so an
    // existing file is never lost.
    if (!WriteImage(path, type)) {
        if (failureReason_.empty()) {
            failureReason_ = fileio::LastWriteError();
        }
        if (failureReason_.empty()) {
            failureReason_ = "the image could not be written";
        }
        return false;
    }
    return true;
}

bool ZorixImgEngine::WriteImage(const std::string& path, IMG_SAVE_TYPES type) {
    switch (type) {
        case IS_BMP_24:
            image_->setAlpha(false);
            return image_->SaveToFile(path, false);
        case IS_BMP_32:
            image_->setAlpha(true);
            return image_->SaveToFile(path, false);
        case IS_BMP_RL:
            return WriteRLE(path);
        case IS_PNG:
            return image_->SaveToFile_PNG(path, false);
        case IS_JPG:
            return image_->SaveToFile_JPG(path, 100, false);
        case IS_AUTO:
            break;
    }
    return false;
}

bool ZorixImgEngine::WriteRLE(const std::string& path) {
    RLEEncodeResult encoded = EncodeRLE(path, *image_, colorAccuracy_, maxPaletteSize_, events_);
    if (!encoded.success || encoded.bytes.size() < 2) {
        failureReason_ = encoded.failureReason;
        return false;
    }
    if (!fileio::WriteFileReplacing(path, encoded.bytes)) {
        failureReason_ = fileio::LastWriteError();
        return false;
    }
    return true;
}

}  // namespace quenda
