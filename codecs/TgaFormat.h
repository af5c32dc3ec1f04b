#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/ByteOrder.h"

// Layout of TGA files: the 18-byte header, the 2.0 footer and extension area.
namespace quenda::tga {

constexpr size_t kHeaderSize = 18;
constexpr size_t kFooterSize = 26;
constexpr size_t kExtensionSize = 495;
constexpr char kSignature[] = "TRUEVISION-XFILE.";  // followed by a zero byte
constexpr size_t kSignatureLength = 17;

// Offsets inside the extension area.
constexpr size_t kExtDateTime = 367;
constexpr size_t kExtSoftwareId = 426;
constexpr size_t kExtSoftwareIdLength = 41;
constexpr size_t kExtSoftwareVersion = 467;
constexpr size_t kExtVersionLetter = 469;
constexpr size_t kExtKeyColour = 470;
constexpr size_t kExtAttributesType = 494;

constexpr uint8_t kAttributesAlpha = 3;
constexpr uint8_t kAttributesPremultiplied = 4;

enum ImageKind : uint8_t {
    kColourMapped = 1,
    kTrueColour = 2,
    kGrey = 3,
    kRunLengthFlag = 8,
};

struct Header {
    uint8_t idLength = 0;
    uint8_t colourMapType = 0;
    uint8_t imageType = 0;
    int16_t firstEntry = 0;
    uint16_t mapLength = 0;
    uint8_t entrySize = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t depth = 0;
    uint8_t descriptor = 0;

    uint8_t baseType() const { return imageType & 7; }
    bool runLength() const { return (imageType & kRunLengthFlag) != 0; }
    bool colourMapped() const { return baseType() == kColourMapped; }
    bool mapPresent() const { return colourMapType == 1; }
    int alphaBits() const { return descriptor & 0x0F; }
    bool rightToLeft() const { return (descriptor & 0x10) != 0; }
    bool topDown() const { return (descriptor & 0x20) != 0; }
};

inline Header ReadHeader(const uint8_t* p) {
    Header h;
    h.idLength = p[0];
    h.colourMapType = p[1];
    h.imageType = p[2];
    h.firstEntry = static_cast<int16_t>(bytes::ReadLE16(p + 3));
    h.mapLength = bytes::ReadLE16(p + 5);
    h.entrySize = p[7];
    h.width = bytes::ReadLE16(p + 12);
    h.height = bytes::ReadLE16(p + 14);
    h.depth = p[16];
    h.descriptor = p[17];
    return h;
}

// Bytes one stored pixel or map entry of the given bit size takes.
constexpr size_t BytesFor(unsigned bits) {
    return bits == 15 ? 2 : (bits + 7) / 8;
}

}  // namespace quenda::tga
