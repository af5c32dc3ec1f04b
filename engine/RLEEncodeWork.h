#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/PaletteKeyIndex.h"
#include "engine/RLEFormat.h"

namespace quenda {

class c32bppDIB;
class ZorixImgEngineEvents;

// What the encoder's stages share: the working state of one encoding, its events,
// and the coding of a row's codes into runs.
namespace encoding {

// A palette of 65536 entries or more cannot be counted in the header.
inline constexpr size_t kPaletteOverflow = 65536;
// A larger row would be written but read back as a negative length.
inline constexpr size_t kLargestRowSize = rle::kLargestField;

// Raises the encoding events with the status text of this image.
class EncodeEvents {
  public:
    EncodeEvents(const std::string& fileName, ZorixImgEngineEvents& events, const c32bppDIB& image);

    void Started();
    void Complete(bool success, bool overflow);
    // An event whose status is the bare status text and whose count is 0.
    void Plain(int16_t step, const char* action, float progress);
    // An event whose status carries the colour count.
    void Counted(int16_t step, const char* action, float progress, size_t count);

  private:
    const std::string& fileName_;
    ZorixImgEngineEvents& events_;
    std::string status_;
};

// Per-channel conversions of a stored (premultiplied) pixel to the palette key.
struct KeyTables {
    std::array<uint8_t, 256> red5{}, green6{}, blue5{}, alpha33{};
    std::vector<uint8_t> straight;  // [alpha * 256 + component]

    KeyTables();

    // The key of the colour GetPixel gives un-premultiplied, and the alpha level.
    PaletteKey Key(const uint8_t* p) const {
        const uint8_t* row = straight.data() + p[3] * 256;
        const unsigned color =
            (red5[row[p[2]]] << 11) | (green6[row[p[1]]] << 5) | blue5[row[p[0]]];
        return MakePaletteKey(static_cast<uint16_t>(color), alpha33[p[3]]);
    }
};

const KeyTables& Tables();

// The working state of one encoding: the palette as keys and, per pixel (rows top
// to bottom), the position of its colour in the palette (0 for the transparent
// entry). Until the rows are coded the palette holds each colour once.
struct Work {
    int32_t width = 0;
    int32_t height = 0;
    bool hasAlpha = false;
    PaletteKey transparent = 0;
    std::vector<PaletteKey> palette;
    std::vector<int32_t> pixels;
    bool sorted = false;  // the palette is in order of frequency
};

// The distinct colours of each row as palette positions, in order of first use:
// row y's are ids[starts[y]] to ids[starts[y + 1] - 1].
struct RowColorLists {
    std::vector<int32_t> ids;
    std::vector<size_t> starts;
    int32_t most = 0;  // the most colours of any row

    size_t Rows() const { return starts.empty() ? 0 : starts.size() - 1; }
};

RowColorLists ListRowColors(const Work& work);

enum class RowsOutcome { Done, Overflow, RowTooColorful, RowTooLong };

// Run-codes one row of codes at `out`, which has room for `width` bytes: no run
// writes more bytes than it has pixels. Returns the end.
uint8_t* CodeRow(const uint8_t* codes, int32_t width, uint8_t* out);
// Appends the marker of a row's window when it does not start at the first entry.
void AppendBaseMarker(int32_t base, std::vector<uint8_t>& data);
// Appends the coded row at the end of data: the base marker, then the runs.
void AppendRow(const uint8_t* codes, int32_t width, int32_t base, std::vector<uint8_t>& data);

}  // namespace encoding
}  // namespace quenda
