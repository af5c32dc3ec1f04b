#include "codecs/PngColorForm.h"

#include <algorithm>
#include <array>

#include "codecs/PngFormat.h"
#include "imaging/ByteOrder.h"
#include "imaging/PixelMath.h"
#include "imaging/c32bppDIB.h"

namespace quenda::png {

namespace {

constexpr size_t kMaxPaletteColors = 256;

// BGRA value of a pixel: blue in the low byte, alpha in the high byte.
inline uint8_t Blue(uint32_t v) {
    return static_cast<uint8_t>(v);
}
inline uint8_t Green(uint32_t v) {
    return static_cast<uint8_t>(v >> 8);
}
inline uint8_t Red(uint32_t v) {
    return static_cast<uint8_t>(v >> 16);
}
inline uint8_t AlphaOf(uint32_t v) {
    return static_cast<uint8_t>(v >> 24);
}

// The distinct pixel values, sorted, or false when there are more than 256.
bool CollectColors(const c32bppDIB& image, std::vector<uint32_t>& colors) {
    const uint8_t* p = image.BitsPointer();
    const size_t count = image.ByteCount() / 4;
    colors.clear();
    colors.reserve(kMaxPaletteColors);
    uint32_t last = 0;
    bool haveLast = false;
    for (size_t i = 0; i < count; ++i, p += 4) {
        const uint32_t v = bytes::ReadLE32(p);
        if (haveLast && v == last) {
            continue;
        }
        last = v;
        haveLast = true;
        const auto it = std::lower_bound(colors.begin(), colors.end(), v);
        if (it != colors.end() && *it == v) {
            continue;
        }
        if (colors.size() == kMaxPaletteColors) {
            return false;
        }
        colors.insert(it, v);
    }
    return true;
}

uint8_t TransparencyOf(const ColorForm& form, uint32_t v) {
    return form.alpha ? AlphaOf(v) : 255;
}

// Grey form: every colour grey and at most one colour not opaque, which must be fully
// transparent (a partly transparent grey cannot be expressed with a grey key).
bool TryGrey(ColorForm& form) {
    size_t nonOpaque = 0;
    uint32_t transparent = 0;
    for (uint32_t v : form.colors) {
        if (Red(v) != Green(v) || Green(v) != Blue(v)) {
            return false;
        }
        const uint8_t t = TransparencyOf(form, v);
        if (t != 255) {
            ++nonOpaque;
            transparent = v;
            if (t != 0) {
                return false;
            }
        }
    }
    if (nonOpaque > 1) {
        return false;
    }
    form.colorType = kGrey;
    if (nonOpaque == 1) {
        std::array<bool, 256> used{};
        for (uint32_t v : form.colors) {
            if (v != transparent) {
                used[Blue(v)] = true;
            }
        }
        const auto freeLevel = std::find(used.begin(), used.end(), false);
        form.hasKey = true;
        form.key = static_cast<uint8_t>(freeLevel - used.begin());
        form.transparentColor = transparent;
        form.transparency = {0, form.key};
    }
    return true;
}

// Palette form: entries that are not opaque first, so tRNS stops after them.
void MakePalette(ColorForm& form) {
    form.colorType = kPalette;
    std::vector<size_t> order(form.colors.size());
    size_t next = 0;
    for (size_t pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < form.colors.size(); ++i) {
            const bool opaque = TransparencyOf(form, form.colors[i]) == 255;
            if (opaque == (pass == 1)) {
                order[next++] = i;
            }
        }
    }
    form.indexOf.assign(form.colors.size(), 0);
    for (size_t index = 0; index < order.size(); ++index) {
        const uint32_t v = form.colors[order[index]];
        const uint8_t t = TransparencyOf(form, v);
        form.indexOf[order[index]] = static_cast<uint8_t>(index);
        uint8_t rgb[3] = {Red(v), Green(v), Blue(v)};
        if (t == 0) {
            rgb[0] = rgb[1] = rgb[2] = 0;
        } else if (t != 255) {
            for (uint8_t& c : rgb) {
                c = Unpremultiply(c, t);
            }
        }
        form.palette.insert(form.palette.end(), rgb, rgb + 3);
        if (t != 255) {
            form.transparency.push_back(t);
        }
    }
}

// True colour with the Alpha flag: RGB with a key when every pixel is fully opaque
// or fully transparent and some channel leaves a value unused, else RGBA.
void ChooseTrueColorWithAlpha(const c32bppDIB& image, ColorForm& form) {
    std::array<std::array<bool, 256>, 3> used{};
    const uint8_t* p = image.BitsPointer();
    const size_t count = image.ByteCount() / 4;
    for (size_t i = 0; i < count; ++i, p += 4) {
        if (p[3] == 255) {
            used[0][p[0]] = used[1][p[1]] = used[2][p[2]] = true;
        } else if (p[3] != 0) {
            form.colorType = kRGBA;
            return;
        }
    }
    for (const auto& channel : used) {  // blue, then green, then red
        const auto unused = std::find(channel.begin(), channel.end(), false);
        if (unused != channel.end()) {
            form.colorType = kRGB;
            form.hasKey = true;
            form.key = static_cast<uint8_t>(unused - channel.begin());
            form.transparency = {0, form.key, 0, form.key, 0, form.key};
            return;
        }
    }
    form.colorType = kRGBA;
}

}  // namespace

ColorForm ChooseColorForm(const c32bppDIB& image) {
    ColorForm form;
    form.alpha = image.Alpha();
    if (CollectColors(image, form.colors)) {
        if (!TryGrey(form)) {
            MakePalette(form);
        }
        return form;
    }
    form.colors.clear();
    form.colorType = kRGB;
    if (form.alpha) {
        ChooseTrueColorWithAlpha(image, form);
    }
    return form;
}

size_t BytesPerPixel(uint8_t colorType) {
    return ChannelCount(colorType);  // one byte a sample
}

void SampleRow(const ColorForm& form, const c32bppDIB& image, int32_t y, uint8_t* out) {
    const uint8_t* p = image.BitsPointer() + image.PixelOffset(0, y);
    const int32_t width = image.Width();
    switch (form.colorType) {
        case kGrey:
            for (int32_t x = 0; x < width; ++x, p += 4) {
                const bool keyed = form.hasKey && bytes::ReadLE32(p) == form.transparentColor;
                *out++ = keyed ? form.key : p[0];
            }
            return;
        case kPalette:
            for (int32_t x = 0; x < width; ++x, p += 4) {
                const auto it =
                    std::lower_bound(form.colors.begin(), form.colors.end(), bytes::ReadLE32(p));
                *out++ = form.indexOf[static_cast<size_t>(it - form.colors.begin())];
            }
            return;
        case kRGB:
            for (int32_t x = 0; x < width; ++x, p += 4, out += 3) {
                const bool keyed = form.hasKey && p[3] == 0;
                out[0] = keyed ? form.key : p[2];
                out[1] = keyed ? form.key : p[1];
                out[2] = keyed ? form.key : p[0];
            }
            return;
        default:
            for (int32_t x = 0; x < width; ++x, p += 4, out += 4) {
                const uint8_t a = p[3];
                if (a == 255 || a == 0) {
                    out[0] = a ? p[2] : 0;
                    out[1] = a ? p[1] : 0;
                    out[2] = a ? p[0] : 0;
                } else {
                    out[0] = Unpremultiply(p[2], a);
                    out[1] = Unpremultiply(p[1], a);
                    out[2] = Unpremultiply(p[0], a);
                }
                out[3] = a;
            }
            return;
    }
}

}  // namespace quenda::png
