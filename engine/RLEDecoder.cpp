#include "engine/RLEDecoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/RLEFile.h"
#include "engine/RowProgress.h"
#include "engine/ZorixImgEngineEvents.h"
#include "engine/modColor.h"
#include "imaging/ByteOrder.h"
#include "imaging/ColorWord.h"
#include "imaging/PixelMath.h"
#include "imaging/c32bppDIB.h"
#include "platform/FileIO.h"

namespace quenda {

namespace {

// Every palette entry as the 4 stored bytes of a pixel, computed once per entry.
struct EntryPixels {
    std::vector<uint32_t> pixels;  // index 0..N-1
    uint32_t transparent = 0;
    size_t lastEntry = 0;  // n = N - 1
};

// Stored form of a straight colour with an 8-bit alpha, as SetPixel stores it.
uint32_t StoredPixel(uint32_t color, uint8_t alpha) {
    if (alpha == 0) {
        return 0;
    }
    const ColorChannels c = ChannelsOf(color);
    if (alpha == 255) {
        return PixelWord(c.blue, c.green, c.red, 255);
    }
    return PixelWord(Premultiply(c.blue, alpha), Premultiply(c.green, alpha),
                     Premultiply(c.red, alpha), alpha);
}

EntryPixels BuildEntryPixels(const rle::ParsedFile& file) {
    EntryPixels e;
    const size_t entries = file.colors.size();
    e.lastEntry = entries - 1;
    e.pixels.resize(entries);
    for (size_t i = 0; i < entries; ++i) {
        const uint8_t alpha = file.header.hasAlpha ? Alpha33To255(file.alphas[i]) : 255;
        e.pixels[i] = StoredPixel(RGB565ToRGB(file.colors[i]), alpha);
    }
    // Without alpha the transparent entry doubles as opaque black. No code reaches
    // entry 0 through the table except code 0, so it holds the transparent pixel.
    e.transparent = file.header.hasAlpha ? 0 : PixelWord(0, 0, 0, 255);
    e.pixels[0] = e.transparent;
    return e;
}

enum class RowStatus { Ok, MissingEntry, TruncatedToken };

// Pixels a run's first store writes at once, whatever its length: one store of a
// fixed size is cheaper than a fill whose length the processor has to guess.
constexpr int32_t kBurst = 16;

// Writes the pixels of one row straight into the image; columns beyond the width are
// dropped. Far from the row's end a run is written as a burst that may reach past the
// run: the next tokens overwrite that, and finish() clears what no token reached.
class RowWriter {
  public:
    RowWriter(uint32_t* out, int32_t width) : out_(out), width_(width) {}

    void put(uint32_t pixel, uint32_t count) {
        if (width_ - x_ < kBurst) {
            putNearEnd(pixel, count);
            return;
        }
        uint32_t* at = out_ + x_;
        for (int32_t i = 0; i < kBurst; ++i) {
            at[i] = pixel;
        }
        const int64_t end = std::min<int64_t>(int64_t{x_} + count, width_);
        if (count > static_cast<uint32_t>(kBurst)) {
            std::fill(at + kBurst, out_ + end, pixel);
        }
        reach_ = x_ + kBurst;
        x_ = static_cast<int32_t>(end);
    }

    // Columns a burst wrote but no token reached are transparent black again.
    void finish() {
        if (x_ < reach_) {
            std::fill(out_ + x_, out_ + reach_, 0u);
        }
    }

  private:
    void putNearEnd(uint32_t pixel, uint32_t count) {
        const int32_t end = static_cast<int32_t>(std::min<int64_t>(int64_t{x_} + count, width_));
        if (x_ < end) {
            std::fill(out_ + x_, out_ + end, pixel);
            x_ = end;
        }
    }

    uint32_t* out_;
    int32_t width_;
    int32_t x_ = 0;
    int32_t reach_ = 0;  // end of the last burst; x_ only grows, so it is the furthest
};

// One token after any base marker: the code it names, how many pixels, how many bytes.
struct Token {
    uint32_t code;
    uint32_t count;
    uint32_t size;
    bool single;
};

// Reads the token at the start of `bytes` (three bytes). The kinds mix unpredictably
// in real rows, so the fields are selected arithmetically rather than by branches.
Token ReadToken(const uint8_t* bytes) {
    const uint32_t first = bytes[0];
    const uint32_t second = bytes[1];
    const uint32_t third = bytes[2];
    const uint32_t run = first == rle::kColorRun;
    const uint32_t clear = first == rle::kTransparentRun;
    const uint32_t single = 1 - run - clear;
    return {first * single + second * run, single + third * run + second * clear,
            1 + 2 * run + clear, single != 0};
}

// The pixel of a token's code; false when the code names no entry. A code v >= 1
// means entry v + base; a single code whose entry does not exist falls back to entry
// v and resets the base. Code 0 is always transparent, which entry 0 of the table holds.
bool LookUp(const Token& token, size_t& base, const EntryPixels& palette, uint32_t& pixel) {
    const size_t keep = size_t{0} - (token.code != 0);
    size_t entry = (token.code + base) & keep;
    if (entry > palette.lastEntry) {
        if (!token.single) {
            return false;
        }
        entry = token.code;
        base = 0;
        if (entry > palette.lastEntry) {
            return false;
        }
    }
    pixel = palette.pixels[entry];
    return true;
}

// Decodes one row's tokens; spans are checked once per token, never per pixel.
RowStatus DecodeRow(std::span<const uint8_t> row, const EntryPixels& palette, RowWriter& out) {
    const uint8_t* data = row.data();
    const size_t size = row.size();
    size_t base = 0;
    size_t p = 0;
    while (p < size) {
        if (data[p] == rle::kBaseMarker) {
            if (size - p < 3) {
                return RowStatus::TruncatedToken;
            }
            base = bytes::ReadLE16(data + p + 1);
            p += 3;
            if (p == size) {
                break;
            }
        }
        // Near the row's end the token is read from a copy padded with zeros; the
        // caller then checks its size against what is left.
        uint8_t tail[3] = {0, 0, 0};
        const uint8_t* at = data + p;
        if (size - p < 3) {
            std::memcpy(tail, at, size - p);
            at = tail;
        }
        const Token token = ReadToken(at);
        if (token.size > size - p) {
            return RowStatus::TruncatedToken;
        }
        uint32_t pixel = 0;
        if (!LookUp(token, base, palette, pixel)) {
            return RowStatus::MissingEntry;
        }
        out.put(pixel, token.count);
        p += token.size;
    }
    out.finish();
    return RowStatus::Ok;
}

Failure RowFault(FailureKind kind, int32_t y, const char* what) {
    return Failure::Of(kind, "RLE", "row " + std::to_string(y) + what);
}

bool DecodeRows(const rle::ParsedFile& file, const std::string& fileName, c32bppDIB& image,
                ZorixImgEngineEvents& events, Failure& failure) {
    const EntryPixels palette = BuildEntryPixels(file);
    const int32_t width = image.Width();
    const int32_t height = image.Height();
    for (int32_t y = 0; y < height; ++y) {
        if (static_cast<size_t>(y) >= file.rows.size()) {
            failure = Failure::Of(FailureKind::Truncated, "RLE",
                                  "the file has fewer rows than its height");
            return false;
        }
        auto* out = reinterpret_cast<uint32_t*>(image.BitsPointer() + image.PixelOffset(0, y));
        RowWriter writer(out, width);
        const RowStatus status = DecodeRow(file.rows[y], palette, writer);
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

Failure ParseFailure(rle::ParseError error) {
    FailureKind kind = FailureKind::Malformed;
    if (error == rle::ParseError::NotRLE) {
        kind = FailureKind::NotAnImage;
    } else if (error == rle::ParseError::Truncated) {
        kind = FailureKind::Truncated;
    }
    return Failure::Of(kind, "RLE", rle::Describe(error));
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
        result.failure = ParseFailure(error);
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
