#include "thumbnailer/RleThumbnail.h"

#include <cstdio>
#include <memory>
#include <span>
#include <vector>

#include "engine/RLEFile.h"
#include "engine/RLEScaledDecoder.h"
#include "imaging/ColorWord.h"
#include "imaging/c32bppDIB.h"
#include "thumbnailer/ThumbnailFit.h"

namespace zorixthumb {

namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// Reads until `bytes` holds `size` bytes or the file ends.
void FillTo(std::FILE* file, std::vector<uint8_t>& bytes, size_t size) {
    const size_t have = bytes.size();
    bytes.resize(size);
    bytes.resize(have + std::fread(bytes.data() + have, 1, size - have, file));
}

// The sections before the row data, fetched in as few reads as the parser allows.
quenda::rle::ParseError ReadPrologue(std::FILE* file, quenda::rle::ParsedFile& prologue) {
    std::vector<uint8_t> prefix;
    size_t needed = quenda::rle::kHeaderSize;
    for (;;) {
        FillTo(file, prefix, needed);
        const bool more = prefix.size() == needed;  // else the file has ended
        const auto error = quenda::rle::ParsePrologue(prefix, prologue, needed);
        if (error != quenda::rle::ParseError::Truncated || !more) {
            return error;
        }
    }
}

// Over an opaque background: colour + (1 - alpha) x background, on premultiplied bytes.
void ComposeOver(quenda::c32bppDIB& image, uint32_t background) {
    const quenda::ColorChannels bg = quenda::ChannelsOf(background);
    const uint8_t under[3] = {bg.blue, bg.green, bg.red};
    uint8_t* p = image.BitsPointer();
    for (size_t i = 0; i < image.ByteCount(); i += 4) {
        const unsigned rest = 255u - p[i + 3];
        for (int c = 0; c < 3; ++c) {
            p[i + c] = static_cast<uint8_t>(p[i + c] + (under[c] * rest + 127) / 255);
        }
        p[i + 3] = 255;
    }
    image.setAlpha(false);
}

}  // namespace

RleThumbnailStatus MakeRleThumbnail(const std::string& path, int32_t box, uint32_t background,
                                    quenda::c32bppDIB& thumbnail, std::string& reason) {
    const File file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        return RleThumbnailStatus::NotRle;
    }
    quenda::rle::ParsedFile prologue;
    const quenda::rle::ParseError error = ReadPrologue(file.get(), prologue);
    if (error == quenda::rle::ParseError::NotRLE) {
        return RleThumbnailStatus::NotRle;
    }
    if (error != quenda::rle::ParseError::None) {
        reason = quenda::rle::Describe(error);
        return RleThumbnailStatus::Failed;
    }
    const int32_t height =
        prologue.header.height < 0 ? -prologue.header.height : prologue.header.height;
    const Size size = FitInBox({prologue.header.width, height}, box);
    if (size.width == 0 || !thumbnail.InitializeDIB(size.width, size.height)) {
        reason = "the image size is invalid";
        return RleThumbnailStatus::Failed;
    }
    std::vector<uint8_t> row;
    const quenda::RLERowSource rows = [&](int32_t y, std::span<const uint8_t>& bytes) {
        const size_t length = prologue.rowLengths[static_cast<size_t>(y)];
        row.clear();
        FillTo(file.get(), row, length);
        bytes = row;
        return row.size() == length;
    };
    // The buffer keeps its rows bottom-up.
    const quenda::RLETarget target{thumbnail.BitsPointer() + thumbnail.PixelOffset(0, 0),
                                   -thumbnail.scanWidth(), size.width, size.height};
    const quenda::RLEScaledResult decoded = quenda::DecodeRLERows(prologue, rows, target);
    if (!decoded.success) {
        reason = decoded.failure.Text();
        return RleThumbnailStatus::Failed;
    }
    ComposeOver(thumbnail, background);
    return RleThumbnailStatus::Done;
}

}  // namespace zorixthumb
