#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quenda {
class c32bppDIB;
}

namespace quenda::png {

// The form a PNG is written in: the smallest of palette, grey, RGB (with a colour
// key for fully transparent pixels) and RGBA that keeps every pixel, 8 bits a sample.
struct ColorForm {
    uint8_t colorType = 2;
    std::vector<uint8_t> palette;       // R, G, B per entry (colour type 3)
    std::vector<uint8_t> transparency;  // the tRNS chunk's data; empty when none
    // Colour type 3: the distinct BGRA values, sorted, and each one's palette index.
    std::vector<uint32_t> colors;
    std::vector<uint8_t> indexOf;
    // Colour types 0 and 2: the value written for fully transparent pixels.
    bool hasKey = false;
    uint8_t key = 0;
    uint32_t transparentColor = 0;  // colour type 0: the BGRA value that gets the key
    bool alpha = false;             // the buffer's Alpha flag
};

ColorForm ChooseColorForm(const c32bppDIB& image);

size_t BytesPerPixel(uint8_t colorType);

// Writes the samples of image row y (0 = top) in the chosen form.
void SampleRow(const ColorForm& form, const c32bppDIB& image, int32_t y, uint8_t* out);

}  // namespace quenda::png
