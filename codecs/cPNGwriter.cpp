#include "codecs/cPNGwriter.h"

#include <bit>
#include <cmath>
#include <cstdio>

#include "codecs/PngColorForm.h"
#include "codecs/PngFormat.h"
#include "codecs/PngRowFilter.h"
#include "codecs/PngText.h"
#include "imaging/ByteOrder.h"
#include "codecs/ZlibBinding.h"
#include "imaging/c32bppDIB.h"
#include "platform/FileIO.h"

namespace quenda {

namespace {

constexpr std::array<const char32_t*, 10> kStandardKeywords = {
    U"Title",    U"Author",     U"Description", U"Copyright", U"Creation Time",
    U"Software", U"Disclaimer", U"Warning",     U"Source",    U"Comment"};
// A fixed filter choice names the filter type at its distance from PNGP_FILTER_NONE.
static_assert(PNGP_FILTER_SUB - PNGP_FILTER_NONE == png::kFilterSub &&
              PNGP_FILTER_UP - PNGP_FILTER_NONE == png::kFilterUp &&
              PNGP_FILTER_AVERAGE - PNGP_FILTER_NONE == png::kFilterAverage &&
              PNGP_FILTER_PAETH - PNGP_FILTER_NONE == png::kFilterPaeth);

constexpr size_t kFirstTextAfterImage = 2;
constexpr size_t kLongestPlainCustomText = 1024;

bool IsTextId(int32_t id) {
    return id >= PNGP_TITLE && id <= PNGP_COMMENT && std::has_single_bit(static_cast<uint32_t>(id));
}

size_t TextSlot(int32_t id) {
    return static_cast<size_t>(std::countr_zero(static_cast<uint32_t>(id)));
}

// The standard property a keyword names (ignoring case), or 0.
int32_t StandardIdOf(const std::u32string& keyword) {
    for (size_t i = 0; i < kStandardKeywords.size(); ++i) {
        if (pngtext::EqualsIgnoringCase(keyword, kStandardKeywords[i])) {
            return int32_t{1} << i;
        }
    }
    return 0;
}

std::string FormatDate(const PngDate& d) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day,
                  d.hour, d.minute, d.second);
    return text;
}

// A value given for a text property as text; false for anything without a text form.
bool ValueAsText(const PngValue& value, std::u32string& text) {
    if (const auto* s = std::get_if<std::string>(&value)) {
        text = pngtext::FromUtf8(*s);
    } else if (const auto* n = std::get_if<int64_t>(&value)) {
        text = pngtext::FromUtf8(std::to_string(*n));
    } else if (const auto* d = std::get_if<PngDate>(&value)) {
        text = pngtext::FromUtf8(FormatDate(*d));
    } else {
        return false;
    }
    return true;
}

void AppendChunk(std::vector<uint8_t>& png, uint32_t type, const uint8_t* data, size_t size) {
    bytes::AppendBE32(png, static_cast<uint32_t>(size));
    const size_t start = png.size();
    bytes::AppendBE32(png, type);
    png.insert(png.end(), data, data + size);
    uint32_t crc = 0;
    zlib::Crc32(png.data() + start, size + 4, crc);
    bytes::AppendBE32(png, crc);
}

void AppendChunk(std::vector<uint8_t>& png, uint32_t type, const std::vector<uint8_t>& data) {
    AppendChunk(png, type, data.data(), data.size());
}

// Compresses with the binding into a buffer of n + n / 100 + 12 bytes (never less than
// zlib's own bound).
bool CompressBytes(const uint8_t* src, size_t n, std::vector<uint8_t>& out) {
    const double wanted =
        std::nearbyint(static_cast<double>(n) + static_cast<double>(n) / 100.0 + 12.0);
    size_t capacity = static_cast<size_t>(wanted);
    capacity = std::max(capacity, zlib::CompressBound(n));
    out.resize(capacity);
    size_t produced = capacity;
    if (!zlib::Compress(out.data(), produced, src, n)) {
        out.clear();
        return false;
    }
    out.resize(produced);
    return true;
}

}  // namespace

bool cPNGwriter::Write(const c32bppDIB& image, const std::filesystem::path& fileName,
                       std::vector<uint8_t>& out) const {
    std::vector<uint8_t> png;
    bool ok = false;
    try {
        ok = image.Handle() != 0 && zlib::IsEnabled() && Encode(image, png);
        if (ok && !fileName.empty()) {
            ok = fileio::WriteFileReplacing(fileName, png);
        }
    } catch (...) {
        ok = false;  // out of memory on a large image
    }
    if (!fileName.empty()) {
        return ok;
    }
    if (ok) {
        out = std::move(png);
    } else {
        out.clear();
    }
    return ok;
}

bool cPNGwriter::Encode(const c32bppDIB& image, std::vector<uint8_t>& png) const {
    png::ColorForm form = png::ChooseColorForm(image);
    std::vector<uint8_t> background;
    const bool haveBackground = IsSet(PNGP_BACKGROUND) && BackgroundData(form, background);
    std::vector<uint8_t> imageData;
    if (!CompressImage(image, form, imageData)) {
        return false;
    }
    png.assign(png::kSignature.begin(), png::kSignature.end());
    std::vector<uint8_t> header;
    bytes::AppendBE32(header, static_cast<uint32_t>(image.Width()));
    bytes::AppendBE32(header, static_cast<uint32_t>(image.Height()));
    header.insert(header.end(), {8, form.colorType, 0, 0, 0});
    AppendChunk(png, png::kIHDR, header);
    for (size_t slot = 0; slot < kFirstTextAfterImage; ++slot) {
        AppendText(png, kStandardKeywords[slot], texts_[slot], false);
    }
    if (form.colorType == png::kPalette) {
        AppendChunk(png, png::kPLTE, form.palette);
    }
    if (haveBackground) {
        AppendChunk(png, png::kBKGD, background);
    }
    if (!form.transparency.empty()) {
        AppendChunk(png, png::kTRNS, form.transparency);
    }
    AppendChunk(png, png::kIDAT, imageData);
    if (IsSet(PNGP_MODIFIED_TIME)) {
        const PngDate& d = modified_;
        std::vector<uint8_t> time = {
            static_cast<uint8_t>(d.year >> 8), static_cast<uint8_t>(d.year),
            static_cast<uint8_t>(d.month),     static_cast<uint8_t>(d.day),
            static_cast<uint8_t>(d.hour),      static_cast<uint8_t>(d.minute),
            static_cast<uint8_t>(d.second)};
        AppendChunk(png, png::kTIME, time);
    }
    for (size_t slot = kFirstTextAfterImage; slot < texts_.size(); ++slot) {
        AppendText(png, kStandardKeywords[slot], texts_[slot], false);
    }
    for (const CustomEntry& entry : custom_) {
        AppendText(png, entry.keyword, entry.text, true);
    }
    AppendChunk(png, png::kIEND, nullptr, 0);
    return true;
}

bool cPNGwriter::CompressImage(const c32bppDIB& image, const png::ColorForm& form,
                               std::vector<uint8_t>& data) const {
    const size_t bpp = png::BytesPerPixel(form.colorType);
    const size_t rowBytes = static_cast<size_t>(image.Width()) * bpp;
    const size_t height = static_cast<size_t>(image.Height());
    std::vector<uint8_t> stream((rowBytes + 1) * height);
    std::vector<uint8_t> raw(rowBytes);
    std::vector<uint8_t> prior(rowBytes, 0);
    int32_t choice = FilterChoice();
    uint8_t fixedFilter = png::kFilterNone;
    if (choice == PNGP_FILTER_DEFAULT) {
        const bool trueColor = form.colorType == png::kRGB || form.colorType == png::kRGBA;
        fixedFilter = trueColor ? png::kFilterPaeth : png::kFilterNone;
    } else if (choice != PNGP_FILTER_ADAPTIVE) {
        fixedFilter = static_cast<uint8_t>(choice - PNGP_FILTER_NONE);
    }
    for (size_t y = 0; y < height; ++y) {
        png::SampleRow(form, image, static_cast<int32_t>(y), raw.data());
        const uint8_t filter =
            choice == PNGP_FILTER_ADAPTIVE
                ? png::ChooseAdaptiveFilter(raw.data(), prior.data(), rowBytes, bpp, y == 0)
                : fixedFilter;
        png::FilterRow(filter, raw.data(), prior.data(), rowBytes, static_cast<unsigned>(bpp),
                       stream.data() + y * (rowBytes + 1));
        raw.swap(prior);
    }
    return CompressBytes(stream.data(), stream.size(), data);
}

bool cPNGwriter::BackgroundData(png::ColorForm& form, std::vector<uint8_t>& data) const {
    const uint8_t r = static_cast<uint8_t>(background_);
    const uint8_t g = static_cast<uint8_t>(background_ >> 8);
    const uint8_t b = static_cast<uint8_t>(background_ >> 16);
    switch (form.colorType) {
        case png::kPalette: {
            const size_t entries = form.palette.size() / 3;
            for (size_t i = 0; i < entries; ++i) {
                const uint8_t* e = &form.palette[3 * i];
                if (e[0] == r && e[1] == g && e[2] == b) {
                    data = {static_cast<uint8_t>(i)};
                    return true;
                }
            }
            if (entries >= 256) {
                return false;  // no room for the colour: no bKGD
            }
            form.palette.insert(form.palette.end(), {r, g, b});
            data = {static_cast<uint8_t>(entries)};
            return true;
        }
        case png::kGrey:
            data = {0, r};
            return true;
        default:
            data = {0, r, 0, g, 0, b};
            return true;
    }
}

void cPNGwriter::AppendText(std::vector<uint8_t>& png, const std::u32string& keyword,
                            const std::u32string& text, bool allowCompressed) const {
    if (text.empty() || keyword.empty()) {
        return;
    }
    std::vector<uint8_t> data;
    const std::string key = pngtext::ToLatin1(keyword);
    const std::string body = pngtext::ToLatin1(text);
    data.insert(data.end(), key.begin(), key.end());
    data.push_back(0);
    if (allowCompressed && text.size() > kLongestPlainCustomText) {
        std::vector<uint8_t> packed;
        if (CompressBytes(reinterpret_cast<const uint8_t*>(body.data()), body.size(), packed)) {
            data.push_back(0);  // compression method
            data.insert(data.end(), packed.begin(), packed.end());
            AppendChunk(png, png::kZTXT, data);
            return;
        }
    }
    data.insert(data.end(), body.begin(), body.end());
    AppendChunk(png, png::kTEXT, data);
}

int32_t cPNGwriter::FilterChoice() const {
    return (filterChoice_ >= PNGP_FILTER_DEFAULT && filterChoice_ <= PNGP_FILTER_ADAPTIVE)
               ? static_cast<int32_t>(filterChoice_)
               : PNGP_FILTER_DEFAULT;
}

// --- Properties ---------------------------------------------------------------

bool cPNGwriter::SetProperty(int32_t id, const PngValue& value, const std::string& keyword) {
    if (std::holds_alternative<std::monostate>(value)) {
        return false;
    }
    if (IsTextId(id)) {
        std::u32string text;
        return ValueAsText(value, text) && SetText(id, text);
    }
    switch (id) {
        case PNGP_CUSTOM:
            return SetCustom(value, keyword);
        case PNGP_MODIFIED_TIME:
            return SetDate(value);
        case PNGP_BACKGROUND:
        case PNGP_FILTER:
            return SetNumber(id, value);
        default:
            return false;
    }
}

bool cPNGwriter::SetText(int32_t id, const std::u32string& text) {
    texts_[TextSlot(id)] = pngtext::CleanText(text);
    setFlags_ |= static_cast<uint32_t>(id);
    return true;
}

bool cPNGwriter::SetCustom(const PngValue& value, const std::string& keyword) {
    const std::u32string key = pngtext::CleanKeyword(pngtext::FromUtf8(keyword));
    std::u32string text;
    if (key.empty() || !ValueAsText(value, text)) {
        return false;
    }
    if (const int32_t standard = StandardIdOf(key)) {
        return SetText(standard, text);
    }
    text = pngtext::CleanText(text);
    for (CustomEntry& entry : custom_) {
        if (entry.keyword == key) {
            entry.text = text;
            return true;
        }
    }
    custom_.push_back({key, text});
    setFlags_ |= PNGP_CUSTOM;
    return true;
}

bool cPNGwriter::SetDate(const PngValue& value) {
    const auto* date = std::get_if<PngDate>(&value);
    if (date == nullptr || !date->IsValid()) {
        return false;
    }
    modified_ = *date;
    setFlags_ |= PNGP_MODIFIED_TIME;
    return true;
}

bool cPNGwriter::SetNumber(int32_t id, const PngValue& value) {
    const auto* number = std::get_if<int64_t>(&value);
    if (number == nullptr) {
        return false;
    }
    if (id == PNGP_BACKGROUND) {
        if (*number < 0 || *number > 0xFFFFFF) {
            return false;
        }
        background_ = static_cast<uint32_t>(*number);
    } else {
        filterChoice_ = *number;
    }
    setFlags_ |= static_cast<uint32_t>(id);
    return true;
}

PngValue cPNGwriter::GetProperty(int32_t id, const std::string& keyword) const {
    if (IsTextId(id)) {
        return pngtext::ToUtf8(texts_[TextSlot(id)]);
    }
    switch (id) {
        case PNGP_CUSTOM: {
            const std::u32string key = pngtext::CleanKeyword(pngtext::FromUtf8(keyword));
            if (const int32_t standard = StandardIdOf(key)) {
                return GetProperty(standard);
            }
            for (const CustomEntry& entry : custom_) {
                if (!key.empty() && entry.keyword == key) {
                    return pngtext::ToUtf8(entry.text);
                }
            }
            return std::string();
        }
        case PNGP_MODIFIED_TIME:
            return IsSet(id) ? modified_ : PngDate{};
        case PNGP_BACKGROUND:
            return IsSet(id) ? int64_t{background_} : int64_t{-1};
        case PNGP_FILTER:
            return filterChoice_;
        default:
            return std::monostate{};
    }
}

bool cPNGwriter::RemoveProperty(int32_t id, const std::string& keyword) {
    if (IsTextId(id)) {
        const bool wasSet = IsSet(id);
        texts_[TextSlot(id)].clear();
        setFlags_ &= ~static_cast<uint32_t>(id);
        return wasSet;
    }
    if (id == PNGP_CUSTOM) {
        const std::u32string key = pngtext::CleanKeyword(pngtext::FromUtf8(keyword));
        if (const int32_t standard = StandardIdOf(key)) {
            return RemoveProperty(standard);
        }
        for (size_t i = 0; i < custom_.size(); ++i) {
            if (!key.empty() && custom_[i].keyword == key) {
                custom_[i] = std::move(custom_.back());
                custom_.pop_back();
                if (custom_.empty()) {
                    setFlags_ &= ~static_cast<uint32_t>(PNGP_CUSTOM);
                }
                return true;
            }
        }
        return false;
    }
    if (id != PNGP_MODIFIED_TIME && id != PNGP_BACKGROUND && id != PNGP_FILTER) {
        return false;
    }
    const bool wasSet = IsSet(id);
    setFlags_ &= ~static_cast<uint32_t>(id);
    if (id == PNGP_FILTER) {
        filterChoice_ = 0;
    } else if (id == PNGP_MODIFIED_TIME) {
        modified_ = PngDate{};
    }
    return wasSet;
}

}  // namespace quenda
