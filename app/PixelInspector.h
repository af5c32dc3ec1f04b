#pragma once

#include <QPoint>
#include <QString>

namespace quenda {
class c32bppDIB;
struct RLEIndexMap;
}  // namespace quenda

// The texts of the pixel inspector's status field.
namespace zorix {

// A device bitmap's pixel: its palette entry, the entry's RGB565 code, its opacity
// in the 33 levels and the colour it shows, e.g.
// "x 12, y 5 | Index 17 | RGB565 0xF81F | Alpha 32/32 | #FF00FF".
QString DevicePixelText(const quenda::RLEIndexMap& map, QPoint at);

// An ordinary image's pixel as straight RGBA, e.g. "x 12, y 5 | RGBA 255, 0, 255, 128".
QString OrdinaryPixelText(const quenda::c32bppDIB& image, QPoint at);

// "#RRGGBB" of a colour word 0x00BBGGRR.
QString HexColor(uint32_t color);

}  // namespace zorix
