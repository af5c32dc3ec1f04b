#include "engine/RLEFormat.h"

#include "imaging/ByteOrder.h"

namespace quenda::rle {

bool HasSignature(const uint8_t* data, size_t size) {
    return size >= kHeaderSize && bytes::ReadLE16(data + kSignatureOffset) == kSignature &&
           bytes::ReadLE16(data + kCheckOffset) == kCheckValue;
}

Header ReadHeader(const uint8_t* data) {
    Header h;
    h.hasAlpha = (data[kFlagsOffset] & kAlphaFlag) != 0;
    h.width = static_cast<int16_t>(bytes::ReadLE16(data + kWidthOffset));
    h.height = static_cast<int16_t>(bytes::ReadLE16(data + kHeightOffset));
    h.entryCount = bytes::ReadLE16(data + kEntryCountOffset);
    h.rowCount = static_cast<int16_t>(bytes::ReadLE16(data + kRowCountOffset));
    return h;
}

void WriteHeader(const Header& header, uint8_t* out) {
    bytes::WriteLE16(out + kSignatureOffset, kSignature);
    bytes::WriteLE16(out + kFlagsOffset, header.hasAlpha ? kAlphaFlag : 0);
    bytes::WriteLE16(out + kWidthOffset, static_cast<uint16_t>(header.width));
    bytes::WriteLE16(out + kHeightOffset, static_cast<uint16_t>(header.height));
    bytes::WriteLE16(out + kEntryCountOffset, header.entryCount);
    bytes::WriteLE16(out + kRowCountOffset, static_cast<uint16_t>(header.rowCount));
    bytes::WriteLE16(out + kCheckOffset, kCheckValue);
}

}  // namespace quenda::rle
