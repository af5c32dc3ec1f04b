#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quenda {

class c32bppDIB;

// Reads icon (.ico) and cursor (.cur) files: checks the directory, picks the image
// that best fits a requested size and depth, and decodes it into a c32bppDIB: PNG
// images through the PNG reader, bitmap images of every depth by its own conversion.
// The caller's bytes are never changed; corrected values live in the entries.
class cICOparser {
  public:
    // True when the source is a valid icon or cursor, whether or not an image could
    // be decoded; the host then holds the image or none. Without a host only the
    // directory is read. A length of 0 means the rest of the array.
    bool LoadStream(const std::vector<uint8_t>& bytes, int32_t desiredWidth, int32_t desiredHeight,
                    c32bppDIB* host, size_t offset = 0, size_t length = 0,
                    int32_t desiredBitDepth = 32, uint32_t gdiToken = 0);

    // Properties of the entries, counted from 1; 0 for an index outside.
    int32_t IconCount() const { return static_cast<int32_t>(entries_.size()); }
    int32_t Width(int32_t index) const;
    int32_t Height(int32_t index) const;
    int32_t bitDepth(int32_t index) const;
    bool IsIconPNG(int32_t index) const;
    int32_t ColorCount(int32_t index) const;
    uint64_t ColorByteOffset(int32_t index) const;

  private:
    struct Entry {
        uint8_t width = 0;   // 0 means 256
        uint8_t height = 0;  // 0 means 256
        bool png = false;
        int32_t depth = 0;  // as corrected; 0 = unusable
        uint32_t bytesInRes = 0;
        uint32_t imageOffset = 0;
        uint32_t headerSize = 0;  // biSize of a bitmap image
    };

    bool ReadDirectory(const uint8_t* data, size_t size);
    // False when the source is not an icon after all.
    bool CheckEntry(const uint8_t* data, size_t size, Entry& entry, uint16_t directoryBits,
                    bool& pngVerdict) const;
    void CheckPngEntry(const uint8_t* data, Entry& entry, uint16_t directoryBits) const;
    int32_t ChooseEntry(int32_t width, int32_t height, int32_t depth) const;
    bool DecodeBitmap(const uint8_t* data, size_t size, const Entry& entry, c32bppDIB& host) const;
    const Entry* At(int32_t index) const;

    std::vector<Entry> entries_;
    bool cursor_ = false;
};

}  // namespace quenda
