#include "engine/RLEEncodeWork.h"

#include <algorithm>

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

}  // namespace

// Run-codes one row of codes at `out`, which has room for `width` bytes: no run
// writes more bytes than it has pixels. Returns the end.
uint8_t* CodeRow(const uint8_t* codes, int32_t width, uint8_t* out) {
    if (width <= 0) {
        return out;
    }
    uint8_t previous = codes[0];
    int length = 1;
    for (int32_t x = 1; x < width; ++x) {
        if (codes[x] == previous && length < 255) {
            ++length;
        } else {
            out = FlushRun(out, previous, length);
            previous = codes[x];
            length = 1;
        }
    }
    return FlushRun(out, previous, length);
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
