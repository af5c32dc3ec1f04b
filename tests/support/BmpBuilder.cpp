#include "support/BmpBuilder.h"

#include "imaging/ByteOrder.h"

namespace testsupport {

using quenda::bytes::AppendLE16;
using quenda::bytes::AppendLE32;

namespace {

void AppendCoreHeader(std::vector<uint8_t>& out, const BmpBuilder& b) {
    AppendLE32(out, 12);
    AppendLE16(out, static_cast<uint16_t>(b.width));
    AppendLE16(out, static_cast<uint16_t>(b.height));
    AppendLE16(out, 1);
    AppendLE16(out, b.bitsPerPixel);
}

void AppendInfoHeader(std::vector<uint8_t>& out, const BmpBuilder& b) {
    const size_t begin = out.size();
    AppendLE32(out, b.headerSize);
    AppendLE32(out, static_cast<uint32_t>(b.width));
    AppendLE32(out, static_cast<uint32_t>(b.height));
    AppendLE16(out, 1);
    AppendLE16(out, b.bitsPerPixel);
    AppendLE32(out, b.compression);
    AppendLE32(out, static_cast<uint32_t>(b.pixelData.size()));
    AppendLE32(out, 2835);
    AppendLE32(out, 2835);
    AppendLE32(out, b.colorsUsed);
    AppendLE32(out, 0);
    for (uint32_t mask : b.masks) {
        AppendLE32(out, mask);
    }
    out.resize(begin + b.headerSize, 0);  // short headers cut, long ones padded
}

}  // namespace

std::vector<uint8_t> BmpBuilder::Build() const {
    std::vector<uint8_t> out = {'B', 'M'};
    AppendLE32(out, 0);  // file size, set below
    AppendLE32(out, 0);
    AppendLE32(out, 0);  // pixel offset, set below
    if (headerSize == 12) {
        AppendCoreHeader(out, *this);
    } else {
        AppendInfoHeader(out, *this);
    }
    if (trailingMasks) {
        const size_t count = compression == 6 ? 4 : 3;
        for (size_t i = 0; i < count; ++i) {
            AppendLE32(out, masks[i]);
        }
    }
    for (const auto& rgb : palette) {
        out.push_back(rgb[2]);
        out.push_back(rgb[1]);
        out.push_back(rgb[0]);
        if (headerSize != 12) {
            out.push_back(0);
        }
    }
    const uint32_t offset = pixelOffset.value_or(static_cast<uint32_t>(out.size()));
    if (out.size() < offset) {
        out.resize(offset, 0);
    }
    out.insert(out.end(), pixelData.begin(), pixelData.end());
    quenda::bytes::WriteLE32(out.data() + 2, static_cast<uint32_t>(out.size()));
    quenda::bytes::WriteLE32(out.data() + 10, offset);
    return out;
}

std::vector<uint8_t> PackRows(int32_t width, int32_t height, uint16_t bitsPerPixel,
                              const std::vector<uint32_t>& values, bool topDown) {
    const size_t rowLength = (static_cast<size_t>(width) * bitsPerPixel + 31) / 32 * 4;
    std::vector<uint8_t> out(rowLength * height, 0);
    for (int32_t y = 0; y < height; ++y) {
        const int32_t stored = topDown ? y : height - 1 - y;
        uint8_t* row = out.data() + rowLength * stored;
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t v = values[static_cast<size_t>(y) * width + x];
            if (bitsPerPixel < 8) {
                const int perByte = 8 / bitsPerPixel;
                const int shift = 8 - bitsPerPixel * (x % perByte + 1);
                row[x / perByte] |= static_cast<uint8_t>(v << shift);
            } else {
                for (int i = 0; i < bitsPerPixel / 8; ++i) {
                    row[x * (bitsPerPixel / 8) + i] = static_cast<uint8_t>(v >> (8 * i));
                }
            }
        }
    }
    return out;
}

}  // namespace testsupport
