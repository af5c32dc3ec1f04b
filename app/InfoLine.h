#pragma once

#include <QString>
#include <cstdint>

namespace zorix {

// What the information line says about a loaded image.
struct ImageFacts {
    int32_t type = 0;  // IMG_LOAD_TYPES
    int32_t width = 0;
    int32_t height = 0;
    int32_t rleColors = 0;
    bool hasAlpha = false;
    QString typeDesc;
};

// "Size: WxH | Color palette: N | Alpha: yes | Type: RLE Bitmap" for device
// bitmaps; other types give "Colors: 24Bit/32Bit" instead, and GIF neither.
QString BuildInfoLine(const ImageFacts& facts);

}  // namespace zorix
