#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quenda {

// Palette entries of the encoder as one number: RGB565 in bits 0-15, the 33-level
// alpha in bits 16-21.
using PaletteKey = uint32_t;

constexpr PaletteKey MakePaletteKey(uint16_t color565, uint8_t alpha33) {
    return static_cast<PaletteKey>(color565) | (static_cast<PaletteKey>(alpha33) << 16);
}
constexpr uint16_t KeyColor(PaletteKey key) {
    return static_cast<uint16_t>(key & 0xFFFF);
}
constexpr uint8_t KeyAlpha(PaletteKey key) {
    return static_cast<uint8_t>(key >> 16);
}

// Hash index from a palette key to its palette position (open addressing), sized
// to the palette rather than to the key space.
class PaletteKeyIndex {
  public:
    PaletteKeyIndex() { Rehash(1024); }

    // Position stored for key, or -1.
    int32_t Find(PaletteKey key) const {
        for (size_t slot = Slot(key);; slot = (slot + 1) & mask_) {
            if (keys_[slot] == key) {
                return values_[slot];
            }
            if (keys_[slot] == kEmpty) {
                return -1;
            }
        }
    }

    // Stores a key that is not yet in the index.
    void Insert(PaletteKey key, int32_t position) {
        if ((size_ + 1) * 2 > keys_.size()) {
            Rehash(keys_.size() * 2);
        }
        Place(key, position);
        ++size_;
    }

  private:
    static constexpr PaletteKey kEmpty = 0xFFFFFFFFu;

    size_t Slot(PaletteKey key) const { return ((key * 2654435761u) >> shift_) & mask_; }

    void Place(PaletteKey key, int32_t position) {
        size_t slot = Slot(key);
        while (keys_[slot] != kEmpty) {
            slot = (slot + 1) & mask_;
        }
        keys_[slot] = key;
        values_[slot] = position;
    }

    void Rehash(size_t capacity) {
        std::vector<PaletteKey> oldKeys(capacity, kEmpty);
        std::vector<int32_t> oldValues(capacity, -1);
        oldKeys.swap(keys_);
        oldValues.swap(values_);
        mask_ = capacity - 1;
        int bits = 0;
        while ((size_t{1} << bits) < capacity) {
            ++bits;
        }
        shift_ = 32 - bits;
        for (size_t i = 0; i < oldKeys.size(); ++i) {
            if (oldKeys[i] != kEmpty) {
                Place(oldKeys[i], oldValues[i]);
            }
        }
    }

    std::vector<PaletteKey> keys_;
    std::vector<int32_t> values_;
    size_t mask_ = 0;
    int shift_ = 0;
    size_t size_ = 0;
};

}  // namespace quenda
