#pragma once

#include <cstdint>
#include <vector>

#include "engine/PALETTE16.h"

namespace quenda {

// A packed snapshot of a PALETTE16 array, searched as one byte string. Later changes
// to the array are not seen until Load is called again.
class cMemPalette {
  public:
    // Byte length of the snapshot: 4 per entry.
    int32_t Size() const { return static_cast<int32_t>(bytes_.size()); }
    // Replaces the snapshot with the array's current contents.
    void Load(const std::vector<PALETTE16>& pArray);
    void Clear();
    // Index of the first entry at or after startIndex equal to fColor in colour and
    // alpha, or -1 (also for a negative startIndex).
    int32_t Find(const PALETTE16& fColor, int32_t startIndex = 0) const;

  private:
    std::vector<uint8_t> bytes_;
};

}  // namespace quenda
