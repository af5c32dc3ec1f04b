#include "engine/RLEEncodeWork.h"

#include <algorithm>
#include <cstring>

#include "engine/ZorixImgEngineEvents.h"
#include "engine/modColor.h"
#include "imaging/ByteOrder.h"
#include "imaging/PixelMath.h"
#include "imaging/c32bppDIB.h"

namespace quenda::encoding {

EncodeEvents::EncodeEvents(const std::string& fileName, ZorixImgEngineEvents& events,
                           const c32bppDIB& image)
    : fileName_(fileName), events_(events) {
    status_ = "size: " + std::to_string(image.Width()) + "x" + std::to_string(image.Height()) +
              " | color palette: 16Bit " + (image.Alpha() ? "A" : "") + "RGB";
}

void EncodeEvents::Started() {
    events_.RLEEncodingStarted(fileName_);
}

void EncodeEvents::Complete(bool success, bool overflow) {
    events_.RLEEncodingComplete(fileName_, success, overflow);
}

void EncodeEvents::Plain(int16_t step, const char* action, float progress) {
    events_.RLEEncoding(fileName_, step, action, status_, progress, 0);
}

void EncodeEvents::Counted(int16_t step, const char* action, float progress, size_t count) {
    const auto colors = static_cast<int32_t>(count);
    events_.RLEEncoding(fileName_, step, action,
                        status_ + ", " + std::to_string(colors) + " colors", progress, colors);
}

KeyTables::KeyTables() : straight(256 * 256) {
    for (unsigned v = 0; v < 256; ++v) {
        const uint16_t r = RGBTo565(v), g = RGBTo565(v << 8), b = RGBTo565(v << 16);
        red5[v] = static_cast<uint8_t>(r >> 11);
        green6[v] = static_cast<uint8_t>(g >> 5);
        blue5[v] = static_cast<uint8_t>(b);
        alpha33[v] = AlphaTo33(static_cast<uint8_t>(v));
        for (unsigned a = 0; a < 256; ++a) {
            straight[a * 256 + v] = Unpremultiply(static_cast<uint8_t>(v), static_cast<uint8_t>(a));
        }
    }
}

const KeyTables& Tables() {
    static const KeyTables tables;
    return tables;
}

RowColorLists ListRowColors(const Work& work) {
    RowColorLists lists;
    lists.starts.reserve(static_cast<size_t>(work.height) + 1);
    lists.starts.push_back(0);
    // The transparent entry is never listed: it counts as seen in every row.
    std::vector<int32_t> lastRow(std::max<size_t>(1, work.palette.size()), -1);
    const auto width = static_cast<size_t>(work.width);
    size_t count = 0;
    for (int32_t y = 0; y < work.height; ++y) {
        const int32_t* row = work.pixels.data() + static_cast<size_t>(y) * width;
        if (lists.ids.size() < count + width) {
            lists.ids.resize(std::max(2 * lists.ids.size(), count + width));
        }
        lastRow[0] = y;
        // Without a branch: whether a pixel's colour is new to the row is a coin toss.
        int32_t* out = lists.ids.data() + count;
        for (size_t x = 0; x < width; ++x) {
            const int32_t id = row[x];
            int32_t& last = lastRow[static_cast<size_t>(id)];
            *out = id;
            out += last != y ? 1 : 0;
            last = y;
        }
        const auto rowCount = static_cast<size_t>(out - (lists.ids.data() + count));
        count += rowCount;
        lists.most = std::max(lists.most, static_cast<int32_t>(rowCount));
        lists.starts.push_back(count);
    }
    lists.ids.resize(count);
    return lists;
}

namespace {

// Writes the run of `length` pixels of `code`; returns the end of what it wrote.
uint8_t* FlushRun(uint8_t* out, uint8_t code, int length) {
    if (length < 4) {
        for (int i = 0; i < length; ++i) {
            *out++ = code;
        }
    } else if (code != 0) {
        *out++ = rle::kColorRun;
        *out++ = code;
        *out++ = static_cast<uint8_t>(length);
    } else {
        *out++ = rle::kTransparentRun;
        *out++ = static_cast<uint8_t>(length);
    }
    return out;
}

// The length of the run of equal codes that starts the `left` codes, at most
// what one run can count.
int RunLength(const uint8_t* codes, int32_t left) {
    const int32_t most = std::min(left, 255);
    int length = 1;
    while (length < most && codes[length] == codes[0]) {
        ++length;
    }
    return length;
}

// Whether any of codes[0..7] starts four equal codes; reads codes[0..10]. A byte
// of the three differences to the codes one, two and three on is zero exactly
// where four equal codes start.
bool FourEqualStartWithin8(const uint8_t* codes) {
    uint64_t at[4];
    for (int k = 0; k < 4; ++k) {
        std::memcpy(&at[k], codes + k, 8);
    }
    const uint64_t differ = (at[0] ^ at[1]) | (at[0] ^ at[2]) | (at[0] ^ at[3]);
    constexpr uint64_t kLow = 0x0101010101010101u;
    constexpr uint64_t kHigh = 0x8080808080808080u;
    return ((differ - kLow) & ~differ & kHigh) != 0;
}

}  // namespace

// Run-codes one row of codes at `out`, which has room for `width` bytes: no run
// writes more bytes than it has pixels. Returns the end.
uint8_t* CodeRow(const uint8_t* codes, int32_t width, uint8_t* out) {
    int32_t x = 0;
    while (x < width) {
        // Rows of photographs change code at most pixels, and runs shorter than
        // four are written as they stand: eight codes none of which starts four
        // equal ones are copied whole, without a branch per run.
        if (x + 11 <= width && !FourEqualStartWithin8(codes + x)) {
            std::memcpy(out, codes + x, 8);
            out += 8;
            x += 8;
            continue;
        }
        const int length = RunLength(codes + x, width - x);
        out = FlushRun(out, codes[x], length);
        x += length;
    }
    return out;
}

// Appends the marker of a row's window when it does not start at the first entry.
void AppendBaseMarker(int32_t base, std::vector<uint8_t>& data) {
    if (base > 1) {
        data.push_back(rle::kBaseMarker);
        bytes::AppendLE16(data, static_cast<uint16_t>(base - 1));
    }
}

// Appends the coded row at the end of data: the base marker, then the runs.
void AppendRow(const uint8_t* codes, int32_t width, int32_t base, std::vector<uint8_t>& data) {
    AppendBaseMarker(base, data);
    const size_t runsStart = data.size();
    // A row never codes to more bytes than pixels.
    data.resize(runsStart + static_cast<size_t>(width));
    const uint8_t* end = CodeRow(codes, width, data.data() + runsStart);
    data.resize(static_cast<size_t>(end - data.data()));
}

}  // namespace quenda::encoding
