#include "engine/cMemPalette.h"

#include <cstring>

namespace quenda {

namespace {

constexpr size_t kEntryBytes = sizeof(PALETTE16);

}  // namespace

void cMemPalette::Load(const std::vector<PALETTE16>& pArray) {
    bytes_.resize(pArray.size() * kEntryBytes);
    for (size_t i = 0; i < pArray.size(); ++i) {
        // The key is built from the fields, so the filler is stored as 0 whatever
        // the caller's record holds.
        const auto color = static_cast<uint16_t>(pArray[i].pColor);
        uint8_t* entry = bytes_.data() + i * kEntryBytes;
        entry[0] = static_cast<uint8_t>(color & 0xFF);
        entry[1] = static_cast<uint8_t>(color >> 8);
        entry[2] = pArray[i].pAlpha;
        entry[3] = 0;
    }
}

void cMemPalette::Clear() {
    bytes_.clear();
    bytes_.shrink_to_fit();
}

int32_t cMemPalette::Find(const PALETTE16& fColor, int32_t startIndex) const {
    if (startIndex < 0) {
        return -1;
    }
    const auto color = static_cast<uint16_t>(fColor.pColor);
    const uint8_t key[kEntryBytes] = {static_cast<uint8_t>(color & 0xFF),
                                      static_cast<uint8_t>(color >> 8), fColor.pAlpha, 0};
    size_t offset = static_cast<size_t>(startIndex) * kEntryBytes;
    while (offset + kEntryBytes <= bytes_.size()) {
        const void* hit = memmem(bytes_.data() + offset, bytes_.size() - offset, key, kEntryBytes);
        if (hit == nullptr) {
            return -1;
        }
        const size_t at = static_cast<size_t>(static_cast<const uint8_t*>(hit) - bytes_.data());
        if (at % kEntryBytes == 0) {
            return static_cast<int32_t>(at / kEntryBytes);
        }
        // A match straddling two entries does not count; go on from the next entry.
        offset = (at / kEntryBytes + 1) * kEntryBytes;
    }
    return -1;
}

}  // namespace quenda
