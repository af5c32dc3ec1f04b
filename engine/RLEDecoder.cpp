#include "engine/RLEDecoder.h"

#include <vector>

#include "engine/RLEFile.h"
#include "engine/RLERowTokens.h"
#include "engine/RLERowWriter.h"
#include "engine/RowProgress.h"
#include "engine/ZorixImgEngineEvents.h"
#include "imaging/c32bppDIB.h"
#include "platform/FileIO.h"

namespace quenda {

namespace {

using rle::RowStatus;

Failure RowFault(FailureKind kind, int32_t y, const char* what) {
    return Failure::Of(kind, "RLE", "row " + std::to_string(y) + what);
}

bool DecodeRows(const rle::ParsedFile& file, const std::string& fileName, c32bppDIB& image,
                ZorixImgEngineEvents& events, Failure& failure) {
    const rle::EntryPixels palette = rle::BuildEntryPixels(file);
    const int32_t width = image.Width();
    const int32_t height = image.Height();
    for (int32_t y = 0; y < height; ++y) {
        if (static_cast<size_t>(y) >= file.rows.size()) {
            failure = Failure::Of(FailureKind::Truncated, "RLE",
                                  "the file has fewer rows than its height");
            return false;
        }
        auto* out = reinterpret_cast<uint32_t*>(image.BitsPointer() + image.PixelOffset(0, y));
        rle::RowWriter writer(out, width);
        const RowStatus status = rle::WalkRow(file.rows[y], palette, writer);
        writer.finish();
        if (status == RowStatus::MissingEntry) {
            failure =
                RowFault(FailureKind::Malformed, y, " uses a colour the palette does not have");
            return false;
        }
        if (status == RowStatus::TruncatedToken) {
            failure = RowFault(FailureKind::Truncated, y, " ends inside a token");
            return false;
        }
        events.RLEDecoding(fileName, RowProgress(y, height));
    }
    return true;
}

}  // namespace

RLEDecodeResult DecodeRLEBytes(std::span<const uint8_t> bytes, const std::string& fileName,
                               c32bppDIB& image, ZorixImgEngineEvents& events) {
    RLEDecodeResult result;
    events.RLEDecodingStarted(fileName);
    image.DestroyDIB();

    rle::ParsedFile file;
    const rle::ParseError error = rle::ParseFile(bytes, file);
    if (bytes.size() >= rle::kHeaderSize && error != rle::ParseError::NotRLE) {
        result.headerRead = true;
        result.colorCount = static_cast<int32_t>(file.header.entryCount) - 1;
    }
    if (error != rle::ParseError::None) {
        result.failure = rle::FailureOf(error);
    } else if (!image.InitializeDIB(file.header.width, file.header.height)) {
        const bool empty = file.header.width <= 0 || file.header.height <= 0;
        result.failure = Failure::Of(empty ? FailureKind::Malformed : FailureKind::TooLarge, "RLE",
                                     "the image size is invalid or too large");
    } else {
        if (!file.header.hasAlpha) {
            image.setAlpha(false);
        }
        result.success = DecodeRows(file, fileName, image, events, result.failure);
    }
    if (!result.success) {
        image.DestroyDIB();
    }
    events.RLEDecoding(fileName, 100.0f);
    events.RLEDecodingComplete(fileName, result.success);
    return result;
}

RLEDecodeResult DecodeRLE(const std::string& fileName, c32bppDIB& image,
                          ZorixImgEngineEvents& events) {
    std::vector<uint8_t> bytes;
    const bool readable = fileio::ReadWholeFile(fileName, bytes);
    RLEDecodeResult result = DecodeRLEBytes(bytes, fileName, image, events);
    if (!readable) {
        result.failure = Failure::Of(FailureKind::CannotRead, "RLE");
    }
    return result;
}

}  // namespace quenda
