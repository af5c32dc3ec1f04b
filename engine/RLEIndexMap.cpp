#include "engine/RLEIndexMap.h"

#include <algorithm>

#include "engine/RLEFile.h"
#include "engine/modColor.h"
#include "imaging/ByteOrder.h"
#include "imaging/ImageLimits.h"

namespace quenda {

namespace {

// The pieces of one row token: the code it names, how many pixels, its length.
struct RowToken {
    uint32_t code = 0;
    uint32_t count = 0;
    size_t size = 0;
    bool single = false;
};

// Reads the token at `p`; false when the row ends inside it.
bool ReadRowToken(std::span<const uint8_t> row, size_t p, RowToken& token) {
    const uint8_t first = row[p];
    const size_t left = row.size() - p;
    if (first == rle::kColorRun) {
        if (left < 3) {
            return false;
        }
        token = {row[p + 1], row[p + 2], 3, false};
    } else if (first == rle::kTransparentRun) {
        if (left < 2) {
            return false;
        }
        token = {0, row[p + 1], 2, false};
    } else {
        token = {first, 1, 1, true};
    }
    return true;
}

// The entry a code names under `base`, as the decoder resolves it; false for none.
bool EntryOf(const RowToken& token, size_t& base, size_t entries, size_t& entry) {
    if (token.code == 0) {
        entry = 0;
        return true;
    }
    entry = token.code + base;
    if (entry < entries) {
        return true;
    }
    if (!token.single) {
        return false;
    }
    entry = token.code;
    base = 0;
    return entry < entries;
}

// Fills one row of entry numbers; `out` was cleared to entry 0 beforehand.
bool ReadRow(std::span<const uint8_t> row, size_t entries, std::span<uint16_t> out,
             std::string& reason) {
    size_t base = 0;
    size_t x = 0;
    size_t p = 0;
    while (p < row.size()) {
        // A base marker applies to the token after it, which is read as a token
        // whatever its first byte.
        if (row[p] == rle::kBaseMarker) {
            if (row.size() - p < 3) {
                reason = "ends inside a token";
                return false;
            }
            base = bytes::ReadLE16(row.data() + p + 1);
            p += 3;
            if (p == row.size()) {
                break;
            }
        }
        RowToken token;
        size_t entry = 0;
        if (!ReadRowToken(row, p, token)) {
            reason = "ends inside a token";
            return false;
        }
        if (!EntryOf(token, base, entries, entry)) {
            reason = "uses a colour the palette does not have";
            return false;
        }
        const size_t end = std::min(out.size(), x + token.count);
        if (x < end) {
            std::fill(out.begin() + static_cast<std::ptrdiff_t>(x),
                      out.begin() + static_cast<std::ptrdiff_t>(end), static_cast<uint16_t>(entry));
            x = end;
        }
        p += token.size;
    }
    return true;
}

std::vector<PALETTE16> PaletteOf(const rle::ParsedFile& file) {
    std::vector<PALETTE16> palette(file.colors.size());
    for (size_t i = 0; i < palette.size(); ++i) {
        palette[i].pColor = static_cast<int16_t>(file.colors[i]);
        palette[i].pAlpha = file.header.hasAlpha ? file.alphas[i] : kMaxAlpha33;
    }
    // Entry 0 is transparent, whatever the file stores; without alpha it shows as
    // opaque black.
    palette[0] = PALETTE16{0, file.header.hasAlpha ? uint8_t{0} : kMaxAlpha33, 0};
    return palette;
}

}  // namespace

RLEIndexMapResult ReadRLEIndexMap(std::span<const uint8_t> bytes) {
    RLEIndexMapResult result;
    rle::ParsedFile file;
    const rle::ParseError error = rle::ParseFile(bytes, file);
    if (error != rle::ParseError::None) {
        result.failure = rle::FailureOf(error);
        return result;
    }
    const int32_t width = file.header.width;
    // The decoder takes a negative height as its size, rows in the same order.
    const int32_t height =
        file.header.height < 0 ? -int32_t{file.header.height} : file.header.height;
    if (width <= 0 || height <= 0 ||
        static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kMaxImagePixels) {
        result.failure =
            Failure::Of(FailureKind::TooLarge, "RLE", "the image size is invalid or too large");
        return result;
    }
    if (file.rows.size() < static_cast<size_t>(height)) {
        result.failure =
            Failure::Of(FailureKind::Truncated, "RLE", "the file has fewer rows than its height");
        return result;
    }
    RLEIndexMap& map = result.map;
    map.width = width;
    map.height = height;
    map.hasAlpha = file.header.hasAlpha;
    map.palette = PaletteOf(file);
    map.indices.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    for (int32_t y = 0; y < height; ++y) {
        const std::span<uint16_t> out(map.indices.data() + static_cast<size_t>(y) * width,
                                      static_cast<size_t>(width));
        std::string reason;
        if (!ReadRow(file.rows[static_cast<size_t>(y)], map.palette.size(), out, reason)) {
            result.failure = Failure::Of(FailureKind::Malformed, "RLE",
                                         "row " + std::to_string(y) + " " + reason);
            result.map = RLEIndexMap{};
            return result;
        }
    }
    result.success = true;
    return result;
}

}  // namespace quenda
