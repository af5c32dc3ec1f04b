#include "support/GifBuilder.h"

#include <algorithm>
#include <map>
#include <utility>

#include "imaging/ByteOrder.h"

namespace testsupport {

using quenda::bytes::AppendLE16;

namespace {

class BitWriter {
  public:
    void put(uint32_t code, int bits) {
        buffer_ |= code << count_;
        count_ += bits;
        while (count_ >= 8) {
            bytes_.push_back(static_cast<uint8_t>(buffer_));
            buffer_ >>= 8;
            count_ -= 8;
        }
    }
    std::vector<uint8_t> finish() {
        if (count_ > 0) {
            bytes_.push_back(static_cast<uint8_t>(buffer_));
        }
        return bytes_;
    }

  private:
    uint32_t buffer_ = 0;
    int count_ = 0;
    std::vector<uint8_t> bytes_;
};

int TableBits(size_t entries) {
    int bits = 0;
    while ((size_t{1} << (bits + 1)) < entries) {
        ++bits;
    }
    return bits;  // packed value n: 2^(n+1) entries
}

void AppendTable(std::vector<uint8_t>& out, const std::vector<Rgb>& table) {
    for (const Rgb& c : table) {
        out.insert(out.end(), c.begin(), c.end());
    }
    // Pad to the power of two the packed field announces.
    const size_t entries = size_t{1} << (TableBits(table.size()) + 1);
    out.insert(out.end(), 3 * (entries - table.size()), 0);
}

std::vector<uint8_t> InterlacedOrder(const GifFrame& f) {
    std::vector<uint8_t> out;
    const int passes[4][2] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
    for (const auto& p : passes) {
        for (int y = p[0]; y < f.height; y += p[1]) {
            out.insert(out.end(), f.indices.begin() + y * f.width,
                       f.indices.begin() + (y + 1) * f.width);
        }
    }
    return out;
}

void AppendFrame(std::vector<uint8_t>& out, const GifFrame& f, int minCodeSize) {
    if (f.transparent >= 0 || f.controlWithoutTransparency) {
        const bool flag = f.transparent >= 0;
        out.insert(out.end(), {0x21, 0xF9, 4, static_cast<uint8_t>(flag ? 1 : 0), 0, 0,
                               static_cast<uint8_t>(flag ? f.transparent : 0), 0});
    }
    out.push_back(0x2C);
    AppendLE16(out, f.left);
    AppendLE16(out, f.top);
    AppendLE16(out, f.width);
    AppendLE16(out, f.height);
    uint8_t packed = f.interlaced ? 0x40 : 0;
    if (!f.localTable.empty()) {
        packed |= 0x80 | TableBits(f.localTable.size());
    }
    out.push_back(packed);
    if (!f.localTable.empty()) {
        AppendTable(out, f.localTable);
    }
    const std::vector<uint8_t> data =
        EncodeGifImageData(f.interlaced ? InterlacedOrder(f) : f.indices, minCodeSize);
    out.insert(out.end(), data.begin(), data.end());
}

}  // namespace

std::vector<uint8_t> EncodeGifImageData(const std::vector<uint8_t>& indices, int minCodeSize) {
    const uint32_t clear = 1u << minCodeSize;
    const uint32_t endCode = clear + 1;
    std::map<std::pair<uint32_t, uint8_t>, uint32_t> table;
    int codeSize = minCodeSize + 1;
    uint32_t next = endCode + 1;
    BitWriter bits;
    bits.put(clear, codeSize);
    if (!indices.empty()) {
        uint32_t prefix = indices[0];
        for (size_t i = 1; i < indices.size(); ++i) {
            const auto key = std::make_pair(prefix, indices[i]);
            const auto found = table.find(key);
            if (found != table.end()) {
                prefix = found->second;
                continue;
            }
            bits.put(prefix, codeSize);
            if (next < 4096) {
                table[key] = next++;
                if (next > (1u << codeSize) && codeSize < 12) {
                    ++codeSize;
                }
            } else {
                bits.put(clear, codeSize);
                table.clear();
                codeSize = minCodeSize + 1;
                next = endCode + 1;
            }
            prefix = indices[i];
        }
        bits.put(prefix, codeSize);
    }
    bits.put(endCode, codeSize);
    const std::vector<uint8_t> packed = bits.finish();
    std::vector<uint8_t> out = {static_cast<uint8_t>(minCodeSize)};
    for (size_t at = 0; at < packed.size(); at += 255) {
        const size_t n = std::min<size_t>(255, packed.size() - at);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), packed.begin() + at, packed.begin() + at + n);
    }
    out.push_back(0);
    return out;
}

std::vector<uint8_t> GifBuilder::Build() const {
    std::vector<uint8_t> out(signature.begin(), signature.end());
    AppendLE16(out, screenWidth);
    AppendLE16(out, screenHeight);
    out.push_back(globalTable.empty() ? 0
                                      : static_cast<uint8_t>(0x80 | TableBits(globalTable.size())));
    out.push_back(0);
    out.push_back(0);
    if (!globalTable.empty()) {
        AppendTable(out, globalTable);
    }
    if (applicationExtension) {
        out.insert(out.end(), {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.',
                               '0', 3, 1, 0, 0, 0});
    }
    if (commentExtension) {
        out.insert(out.end(), {0x21, 0xFE, 5, 'h', 'e', 'l', 'l', 'o', 0});
    }
    for (const GifFrame& f : frames) {
        const size_t entries = f.localTable.empty() ? globalTable.size() : f.localTable.size();
        const int minCodeSize = std::max(2, TableBits(entries) + 1);
        AppendFrame(out, f, minCodeSize);
    }
    out.push_back(0x3B);
    return out;
}

}  // namespace testsupport
