#include <algorithm>
#include <cstring>
#include <ctime>
#include <unordered_map>

#include "codecs/cTGAparser.h"
#include "imaging/ColorWord.h"
#include "imaging/PixelMath.h"
#include "imaging/c32bppDIB.h"

namespace quenda {

namespace {

constexpr char kSoftwareId[] = "Morvane v32odaVUV Irada";

// The pixel data in the form chosen for the file, before any run-length coding.
struct PixelForm {
    uint8_t imageType = tga::kTrueColour;
    uint8_t depth = 32;
    size_t pixelBytes = 4;
    std::vector<uint8_t> colourMap;  // 24-bit entries
    uint16_t mapLength = 0;
    std::vector<uint8_t> pixels;  // rows bottom first, as the buffer holds them
};

// Up to 256 distinct colours of an opaque image, as indices into a table in order of
// first appearance. False when there are more.
bool IndexColours(const c32bppDIB& host, std::vector<uint32_t>& table,
                  std::vector<uint8_t>& indices) {
    std::unordered_map<uint32_t, uint8_t> seen;
    const uint8_t* p = host.BitsPointer();
    const size_t count = static_cast<size_t>(host.Width()) * host.Height();
    indices.resize(count);
    for (size_t i = 0; i < count; ++i, p += 4) {
        const uint32_t colour = p[0] | (p[1] << 8) | (p[2] << 16);
        auto found = seen.find(colour);
        if (found == seen.end()) {
            if (table.size() == 256) {
                return false;
            }
            found = seen.emplace(colour, static_cast<uint8_t>(table.size())).first;
            table.push_back(colour);
        }
        indices[i] = found->second;
    }
    return true;
}

bool ReduceBits(const c32bppDIB& host, PixelForm& form) {
    std::vector<uint32_t> table;
    std::vector<uint8_t> indices;
    if (!IndexColours(host, table, indices)) {
        return false;
    }
    form.depth = 8;
    form.pixelBytes = 1;
    const bool allGrey = std::all_of(table.begin(), table.end(), [](uint32_t word) {
        const ColorChannels c = ChannelsOf(word);
        return c.red == c.green && c.red == c.blue;
    });
    if (allGrey) {
        form.imageType = tga::kGrey;
        form.pixels.resize(indices.size());
        std::transform(indices.begin(), indices.end(), form.pixels.begin(),
                       [&table](uint8_t i) { return ChannelsOf(table[i]).red; });
        return true;
    }
    form.imageType = tga::kColourMapped;
    form.mapLength = static_cast<uint16_t>(table.size());
    for (uint32_t c : table) {
        form.colourMap.push_back(static_cast<uint8_t>(c));
        form.colourMap.push_back(static_cast<uint8_t>(c >> 8));
        form.colourMap.push_back(static_cast<uint8_t>(c >> 16));
    }
    form.pixels = std::move(indices);
    return true;
}

void TrueColourPixels(const c32bppDIB& host, bool keepPremultiplied, PixelForm& form) {
    const uint8_t* p = host.BitsPointer();
    const size_t count = static_cast<size_t>(host.Width()) * host.Height();
    if (!host.Alpha()) {
        form.depth = 24;
        form.pixelBytes = 3;
        form.pixels.resize(count * 3);
        for (size_t i = 0; i < count; ++i, p += 4) {
            std::memcpy(&form.pixels[i * 3], p, 3);
        }
        return;
    }
    form.pixels.assign(p, p + count * 4);
    if (keepPremultiplied) {
        return;
    }
    for (size_t i = 0; i < form.pixels.size(); i += 4) {
        uint8_t* q = &form.pixels[i];
        const uint8_t a = q[3];
        for (int c = 0; c < 3; ++c) {
            q[c] = a == 0 ? 0 : Unpremultiply(q[c], a);
        }
    }
}

bool SamePixel(const uint8_t* a, const uint8_t* b, size_t n) {
    return std::memcmp(a, b, n) == 0;
}

// Run-length codes one row: runs start where two neighbours are equal; packets hold
// at most 128 pixels and never cross the row.
void EncodeRow(const uint8_t* row, size_t count, size_t bpp, std::vector<uint8_t>& out) {
    auto px = [&](size_t i) { return row + i * bpp; };
    size_t i = 0;
    while (i < count) {
        if (i + 1 < count && SamePixel(px(i), px(i + 1), bpp)) {
            size_t run = 2;
            while (i + run < count && run < 128 && SamePixel(px(i), px(i + run), bpp)) {
                ++run;
            }
            out.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
            out.insert(out.end(), px(i), px(i) + bpp);
            i += run;
            continue;
        }
        const size_t start = i++;
        while (i < count && i - start < 128 &&
               !(i + 1 < count && SamePixel(px(i), px(i + 1), bpp))) {
            ++i;
        }
        out.push_back(static_cast<uint8_t>(i - start - 1));
        out.insert(out.end(), px(start), px(i));
    }
}

std::vector<uint8_t> EncodeRows(const std::vector<uint8_t>& pixels, size_t pixelBytes,
                                int32_t width, int32_t height) {
    std::vector<uint8_t> out;
    const size_t rowBytes = static_cast<size_t>(width) * pixelBytes;
    for (int32_t y = 0; y < height; ++y) {
        EncodeRow(pixels.data() + rowBytes * y, static_cast<size_t>(width), pixelBytes, out);
    }
    return out;
}

void AppendExtensionArea(std::vector<uint8_t>& out) {
    std::vector<uint8_t> ext(tga::kExtensionSize, 0);
    bytes::WriteLE16(&ext[0], static_cast<uint16_t>(tga::kExtensionSize));
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const uint16_t stamp[6] = {
        static_cast<uint16_t>(local.tm_mon + 1),     static_cast<uint16_t>(local.tm_mday),
        static_cast<uint16_t>(local.tm_year + 1900), static_cast<uint16_t>(local.tm_hour),
        static_cast<uint16_t>(local.tm_min),         static_cast<uint16_t>(local.tm_sec)};
    for (int i = 0; i < 6; ++i) {
        bytes::WriteLE16(&ext[tga::kExtDateTime + 2 * i], stamp[i]);
    }
    std::memcpy(&ext[tga::kExtSoftwareId], kSoftwareId, sizeof(kSoftwareId) - 1);
    bytes::WriteLE16(&ext[tga::kExtSoftwareVersion], 3);
    ext[tga::kExtVersionLetter] = 1;
    bytes::WriteLE32(&ext[tga::kExtKeyColour], 0xFFFFFFFFu);
    ext[tga::kExtAttributesType] = tga::kAttributesPremultiplied;
    out.insert(out.end(), ext.begin(), ext.end());
}

void AppendHeader(const PixelForm& form, const c32bppDIB& host, std::vector<uint8_t>& out) {
    out.push_back(0);                               // no ID
    out.push_back(form.colourMap.empty() ? 0 : 1);  // colour map type
    out.push_back(form.imageType);
    bytes::AppendLE16(out, 0);  // first entry
    bytes::AppendLE16(out, form.mapLength);
    out.push_back(form.colourMap.empty() ? 0 : 24);  // entry size
    bytes::AppendLE32(out, 0);                       // origin
    bytes::AppendLE16(out, static_cast<uint16_t>(host.Width()));
    bytes::AppendLE16(out, static_cast<uint16_t>(host.Height()));
    out.push_back(form.depth);
    out.push_back(host.Alpha() ? 8 : 0);  // alpha bits; rows bottom first
}

}  // namespace

bool cTGAparser::EncodeTGA(std::vector<uint8_t>& outStream, const c32bppDIB& host,
                           bool allowPreMultipliedAlpha, bool useCompression,
                           bool useBitReduction) const {
    outStream.clear();
    // The header holds sizes in 16 bits.
    if (!host.Handle() || host.Width() > 0xFFFF || host.Height() > 0xFFFF) {
        return false;
    }
    PixelForm form;
    const bool reduced = useBitReduction && !host.Alpha() && ReduceBits(host, form);
    if (!reduced) {
        form = PixelForm{};
        form.pixelBytes = 4;
        TrueColourPixels(host, allowPreMultipliedAlpha, form);
    }
    std::vector<uint8_t> data = std::move(form.pixels);
    if (useCompression && host.Width() >= 3) {
        std::vector<uint8_t> coded = EncodeRows(data, form.pixelBytes, host.Width(), host.Height());
        if (coded.size() < data.size()) {
            data = std::move(coded);
            form.imageType |= tga::kRunLengthFlag;
        }
    }
    std::vector<uint8_t> out;
    out.reserve(tga::kHeaderSize + form.colourMap.size() + data.size() + tga::kExtensionSize +
                tga::kFooterSize);
    AppendHeader(form, host, out);
    out.insert(out.end(), form.colourMap.begin(), form.colourMap.end());
    out.insert(out.end(), data.begin(), data.end());
    uint32_t extensionOffset = 0;
    if (host.Alpha() && allowPreMultipliedAlpha) {
        extensionOffset = static_cast<uint32_t>(out.size());
        AppendExtensionArea(out);
    }
    bytes::AppendLE32(out, extensionOffset);
    bytes::AppendLE32(out, 0);
    out.insert(out.end(), tga::kSignature, tga::kSignature + tga::kSignatureLength);
    out.push_back(0);
    outStream = std::move(out);
    return true;
}

}  // namespace quenda
