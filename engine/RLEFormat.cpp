#include "engine/RLEFormat.h"

#include "imaging/ByteOrder.h"

namespace quenda::rle {

bool HasSignature(const uint8_t* data, size_t size) {
    return size >= kHeaderSize && bytes::ReadLE16(data) == kSignature &&
           bytes::ReadLE16(data + 12) == kCheckValue;
}

Header ReadHeader(const uint8_t* data) {
    Header h;
    h.hasAlpha = (data[2] & kAlphaFlag) != 0;
    h.width = static_cast<int16_t>(bytes::ReadLE16(data + 4));
    h.height = static_cast<int16_t>(bytes::ReadLE16(data + 6));
    h.entryCount = bytes::ReadLE16(data + 8);
    h.rowCount = static_cast<int16_t>(bytes::ReadLE16(data + 10));
    return h;
}

}  // namespace quenda::rle
