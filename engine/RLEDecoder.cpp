#include "engine/RLEDecoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/RLEFile.h"
#include "engine/RowProgress.h"
#include "engine/ZorixImgEngineEvents.h"
#include "engine/modColor.h"
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

uint32_t PackPixel(uint8_t b, uint8_t g, uint8_t r, uint8_t a) {
    const uint8_t bytes[4] = {b, g, r, a};
    uint32_t word;
    std::memcpy(&word, bytes, 4);
    return word;
}

// Stored form of a straight colour with an 8-bit alpha, as SetPixel stores it.
uint32_t StoredPixel(uint32_t color, uint8_t alpha) {
    if (alpha == 0) {
        return 0;
    }
    const uint8_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    if (alpha == 255) {
        return PackPixel(b, g, r, 255);
    }
    return PackPixel(Premultiply(b, alpha), Premultiply(g, alpha), Premultiply(r, alpha), alpha);
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
    // Without alpha the transparent entry doubles as opaque black.
    e.transparent = file.header.hasAlpha ? 0 : PackPixel(0, 0, 0, 255);
    return e;
}

enum class RowStatus { Ok, MissingEntry, TruncatedToken };

// Writes pixels of one row; columns beyond the width are dropped.
class RowWriter {
  public:
    RowWriter(uint32_t* out, int32_t width) : out_(out), width_(width) {}
    void put(uint32_t pixel, unsigned count) {
        const int32_t end = static_cast<int32_t>(std::min<int64_t>(int64_t{x_} + count, width_));
        if (x_ < end) {
            std::fill(out_ + x_, out_ + end, pixel);
        }
        x_ = std::max(x_, end);
    }

  private:
    uint32_t* out_;
    int32_t width_;
    int32_t x_ = 0;
};

// Decodes one row's tokens. A code v >= 1 means entry v + base; a single code whose
// entry does not exist falls back to entry v and resets the base.
RowStatus DecodeRow(std::span<const uint8_t> row, const EntryPixels& palette, RowWriter& out) {
    const size_t size = row.size();
    size_t base = 0;
    size_t p = 0;
    while (p < size) {
        if (row[p] == rle::kBaseMarker) {
            if (size - p < 3) {
                return RowStatus::TruncatedToken;
            }
            base = row[p + 1] | (row[p + 2] << 8);
            p += 3;
            if (p == size) {
                break;
            }
        }
        const uint8_t token = row[p];
        if (token == rle::kColorRun) {
            if (size - p < 3) {
                return RowStatus::TruncatedToken;
            }
            const uint8_t code = row[p + 1];
            const size_t entry = code + base;
            if (code != 0 && entry > palette.lastEntry) {
                return RowStatus::MissingEntry;
            }
            out.put(code == 0 ? palette.transparent : palette.pixels[entry], row[p + 2]);
            p += 3;
        } else if (token == rle::kTransparentRun) {
            if (size - p < 2) {
                return RowStatus::TruncatedToken;
            }
            out.put(palette.transparent, row[p + 1]);
            p += 2;
        } else {
            if (token == 0) {
                out.put(palette.transparent, 1);
            } else {
                size_t entry = token + base;
                if (entry > palette.lastEntry) {
                    entry = token;
                    base = 0;
                }
                if (entry > palette.lastEntry) {
                    return RowStatus::MissingEntry;
                }
                out.put(palette.pixels[entry], 1);
            }
            p += 1;
        }
    }
    return RowStatus::Ok;
}

bool DecodeRows(const rle::ParsedFile& file, const std::string& fileName, c32bppDIB& image,
                ZorixImgEngineEvents& events, std::string& reason) {
    const EntryPixels palette = BuildEntryPixels(file);
    const int32_t width = image.Width();
    const int32_t height = image.Height();
    for (int32_t y = 0; y < height; ++y) {
        if (static_cast<size_t>(y) >= file.rows.size()) {
            reason = "the file has fewer rows than its height";
            return false;
        }
        auto* out = reinterpret_cast<uint32_t*>(image.BitsPointer() + image.PixelOffset(0, y));
        RowWriter writer(out, width);
        const RowStatus status = DecodeRow(file.rows[y], palette, writer);
        if (status == RowStatus::MissingEntry) {
            reason = "row " + std::to_string(y) + " uses a colour the palette does not have";
            return false;
        }
        if (status == RowStatus::TruncatedToken) {
            reason = "row " + std::to_string(y) + " ends inside a token";
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
        result.failureReason = rle::Describe(error);
    } else if (!image.InitializeDIB(file.header.width, file.header.height)) {
        result.failureReason = "the image size is invalid or too large";
    } else {
        if (!file.header.hasAlpha) {
            image.setAlpha(false);
        }
        result.success = DecodeRows(file, fileName, image, events, result.failureReason);
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
        result.failureReason = "the file cannot be read";
    }
    return result;
}

}  // namespace quenda
