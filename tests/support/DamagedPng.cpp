#include "support/DamagedPng.h"

#include <algorithm>

#include "imaging/ByteOrder.h"
#include "imaging/c32bppDIB.h"

namespace testsupport {

namespace {

std::vector<uint8_t> SmallPng() {
    quenda::c32bppDIB image;
    std::vector<uint8_t> png;
    if (!image.InitializeDIB(3, 2)) {
        return png;
    }
    std::fill_n(image.BitsPointer(), 3 * 2 * 4, uint8_t{0xC0});
    image.SaveToStream_PNG(png);
    return png;
}

void PutBE32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
    }
}

constexpr size_t kIhdrCrc = 13;
constexpr size_t kIhdrInterlace = 12;

}  // namespace

size_t ChunkData(const std::vector<uint8_t>& png, const char* type) {
    size_t pos = 8;
    while (pos + 8 <= png.size()) {
        const uint32_t length = quenda::bytes::ReadBE32(png.data() + pos);
        if (std::equal(type, type + 4, png.begin() + static_cast<std::ptrdiff_t>(pos) + 4)) {
            return pos + 8;
        }
        pos += 12 + size_t{length};
    }
    return 0;
}

std::vector<uint8_t> DamagedPng(PngDamage damage) {
    std::vector<uint8_t> png = SmallPng();
    const size_t ihdr = ChunkData(png, "IHDR");
    const size_t idat = ChunkData(png, "IDAT");
    if (ihdr == 0 || idat == 0) {
        return {};
    }
    switch (damage) {
        case PngDamage::None:
            return png;
        case PngDamage::CutInIdat:
            png.resize(idat + 2);
            return png;
        case PngDamage::FlippedIdat:
            png[idat] ^= 0x5A;
            return png;
        case PngDamage::ZeroWidth:
            PutBE32(png, ihdr, 0);
            break;
        case PngDamage::Interlace2:
            png[ihdr + kIhdrInterlace] = 2;
            break;
        case PngDamage::HugeSize:
            PutBE32(png, ihdr, 0x7FFFFFFF);
            PutBE32(png, ihdr + 4, 0x7FFFFFFF);
            break;
    }
    PutBE32(png, ihdr + kIhdrCrc, 0);
    return png;
}

}  // namespace testsupport
