#include "codecs/cGIFparser.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "codecs/GifFormat.h"
#include "imaging/ByteCursor.h"
#include "imaging/ByteWindow.h"
#include "imaging/c32bppDIB.h"
#include "codecs/PictureLoader.h"
#include "codecs/StdPicture.h"

namespace quenda {

namespace {

constexpr size_t kScreenEnd = 13;  // header and logical screen descriptor
constexpr size_t kDescriptorSize = 10;
constexpr size_t kControlSize = 8;
constexpr uint8_t kExtension = 0x21;
constexpr uint8_t kImage = 0x2C;
constexpr uint8_t kTrailer = 0x3B;
constexpr uint8_t kApplicationLabel = 0xFF;
constexpr uint8_t kControlLabel = 0xF9;

size_t TableEntries(uint8_t packed) {
    return size_t{1} << ((packed & 7) + 1);
}

// Steps over data sub-blocks up to and including the zero-length one. False when
// they run past the end.
bool SkipSubBlocks(ByteCursor& in) {
    uint8_t length = 0;
    while (in.ReadU8(length)) {
        if (length == 0) {
            return true;
        }
        if (!in.Skip(length)) {
            return false;
        }
    }
    return false;
}

}  // namespace

cGIFparser::Verdict cGIFparser::ScanSource(const uint8_t* data, size_t size, Scan& scan) const {
    if (!gif::HasSignature(data, size)) {
        return Verdict::NotGif;
    }
    ByteCursor in(data, size);
    const uint8_t* screen = in.Span(kScreenEnd);
    if (screen == nullptr) {
        return Verdict::Damaged;
    }
    if (screen[10] & 0x80) {
        scan.tableEntries = TableEntries(screen[10]);
        scan.tableOffset = in.Position();
        if (!in.Skip(3 * scan.tableEntries)) {
            return Verdict::Damaged;
        }
    }
    scan.blocksStart = in.Position();
    const Verdict walked = WalkBlocks(in, scan);
    return walked == Verdict::Ok ? ReadImage(in, scan) : walked;
}

cGIFparser::Verdict cGIFparser::WalkBlocks(ByteCursor& in, Scan& scan) const {
    while (true) {
        const size_t at = in.Position();
        uint8_t introducer = 0;
        if (!in.ReadU8(introducer)) {
            return Verdict::Damaged;
        }
        if (introducer == 0) {
            continue;
        }
        if (introducer != kExtension) {
            scan.imageStart = at;
            return introducer == kImage ? Verdict::Ok : Verdict::Refused;
        }
        uint8_t label = 0;
        if (!in.ReadU8(label)) {
            return Verdict::Damaged;
        }
        if (label == kControlLabel) {
            // Block size, packed fields, delay (2), transparent index, terminator.
            const uint8_t* control = in.Span(kControlSize - 2);
            if (control == nullptr) {
                return Verdict::Damaged;
            }
            scan.controlOffset = at;
            scan.transparent = (control[1] & 1) ? control[4] : -1;
            continue;
        }
        uint8_t headerLength = 0;
        if (label == kApplicationLabel && (!in.ReadU8(headerLength) || !in.Skip(headerLength))) {
            return Verdict::Damaged;
        }
        if (!SkipSubBlocks(in)) {
            return Verdict::Damaged;
        }
    }
}

// The cursor stands after the image's introducer.
cGIFparser::Verdict cGIFparser::ReadImage(ByteCursor& in, Scan& scan) const {
    // Position, size (2 each, 8 in all) and packed fields follow the introducer.
    const uint8_t* descriptor = in.Span(kDescriptorSize - 1);
    if (descriptor == nullptr) {
        return Verdict::Damaged;
    }
    const uint8_t packed = descriptor[8];
    if (packed & 0x80) {
        scan.localTable = true;
        scan.tableEntries = TableEntries(packed);
        scan.tableOffset = in.Position();
        if (!in.Skip(3 * scan.tableEntries)) {
            return Verdict::Damaged;
        }
    }
    uint8_t minimumCodeSize = 0;
    if (!in.ReadU8(minimumCodeSize) || !SkipSubBlocks(in)) {
        return Verdict::Damaged;
    }
    scan.imageEnd = in.Position();
    if (scan.imageEnd - scan.imageStart < 3 || scan.tableEntries == 0) {
        return Verdict::Refused;
    }
    return Verdict::Ok;
}

std::vector<uint8_t> cGIFparser::BuildOneImageFile(const uint8_t* data, const Scan& scan) const {
    std::vector<uint8_t> file;
    file.reserve(scan.blocksStart + kControlSize + (scan.imageEnd - scan.imageStart) + 1);
    file.insert(file.end(), data, data + scan.blocksStart);
    // The signature is matched ignoring case; the decoder wants it in capitals.
    std::copy_n("GIF", 3, file.begin());
    if (scan.controlOffset != 0) {
        file.insert(file.end(), data + scan.controlOffset,
                    data + scan.controlOffset + kControlSize);
    }
    const size_t descriptor = file.size();
    file.insert(file.end(), data + scan.imageStart, data + scan.imageEnd);
    file.push_back(kTrailer);
    // The image alone, at its own size, at the origin of its own screen.
    std::fill_n(file.begin() + descriptor + 1, 4, 0);
    std::copy_n(file.begin() + descriptor + 5, 4, file.begin() + 6);
    if (scan.transparent >= 0) {
        // A grey ramp keeps equal colours apart; the real colours come from the source.
        const size_t table = scan.localTable ? descriptor + kDescriptorSize : kScreenEnd;
        for (size_t i = 0; i < scan.tableEntries; ++i) {
            std::fill_n(file.begin() + table + 3 * i, 3, static_cast<uint8_t>(i));
        }
    }
    return file;
}

bool cGIFparser::Decode(const uint8_t* data, const Scan& scan, c32bppDIB& image) const {
    StdPicture picture;
    {
        const std::vector<uint8_t> file = BuildOneImageFile(data, scan);
        if (!LoadPalettedPicture(file.data(), file.size(), picture) || !picture.indices) {
            return false;
        }
    }
    // Colours from the table the image uses in the source; the transparent index
    // stays all zero.
    picture.palette.clear();
    for (size_t i = 0; i < scan.tableEntries; ++i) {
        const uint8_t* entry = data + scan.tableOffset + 3 * i;
        picture.palette.push_back({entry[0], entry[1], entry[2]});
    }
    std::unique_ptr<uint8_t[]> bits = AllocatePixels(picture.width, picture.height, 4);
    if (!bits) {
        return false;
    }
    DrawPalettedPicture(picture, bits.get(), scan.transparent);
    if (!image.AdoptBits(std::move(bits), picture.width, picture.height)) {
        return false;
    }
    image.setAlpha(scan.transparent >= 0);
    image.setImageType(IMAGE_GIF);
    return true;
}

bool cGIFparser::LoadStream(const std::vector<uint8_t>& bytes, c32bppDIB& image, size_t start,
                            size_t length) {
    const ByteWindow window = ByteWindow::Of(bytes, start, length);
    return window.data != nullptr && Load(window.data, window.size, image);
}

bool cGIFparser::Load(const uint8_t* data, size_t length, c32bppDIB& image) const {
    Scan scan;
    const Verdict verdict = ScanSource(data, length, scan);
    if (verdict == Verdict::NotGif || verdict == Verdict::Refused) {
        return false;
    }
    // Every damaged verdict is a block that needs more bytes than remain, so the first
    // missing byte is the one after the data.
    if (verdict == Verdict::Damaged) {
        image.DestroyDIB();
        image.SetLoadFailure(LoadFailure::At(LoadFailure::Kind::Truncated, length));
    } else if (!Decode(data, scan, image)) {
        image.DestroyDIB();
        image.SetLoadFailure(LoadFailure::At(LoadFailure::Kind::Malformed, 0, "GIF image data"));
    }
    return true;
}

}  // namespace quenda
