#include "app/PixelInspector.h"

#include "engine/RLEIndexMap.h"
#include "engine/modColor.h"
#include "imaging/ColorWord.h"
#include "imaging/c32bppDIB.h"

namespace zorix {

namespace {

QString Place(QPoint at) {
    return QStringLiteral("x %1, y %2").arg(at.x()).arg(at.y());
}

QString Hex(uint32_t value, int digits) {
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

QString HexColor(uint32_t color) {
    const quenda::ColorChannels c = quenda::ChannelsOf(color);
    return QLatin1Char('#') + Hex(c.red, 2) + Hex(c.green, 2) + Hex(c.blue, 2);
}

QString DevicePixelText(const quenda::RLEIndexMap& map, QPoint at) {
    if (at.x() < 0 || at.y() < 0 || at.x() >= map.width || at.y() >= map.height) {
        return QString();
    }
    const uint16_t index = map.IndexAt(at.x(), at.y());
    const quenda::PALETTE16 entry = map.palette[index];
    const auto code = static_cast<uint16_t>(entry.pColor);
    return Place(at) + QStringLiteral(" | Index %1 | RGB565 0x").arg(index) + Hex(code, 4) +
           QStringLiteral(" | Alpha %1/%2 | ").arg(entry.pAlpha).arg(quenda::kMaxAlpha33) +
           HexColor(quenda::RGB565ToRGB(code));
}

QString OrdinaryPixelText(const quenda::c32bppDIB& image, QPoint at) {
    uint8_t alpha = 0;
    const int32_t color = image.GetPixel(at.x(), at.y(), &alpha);
    if (color < 0) {
        return QString();
    }
    const quenda::ColorChannels c = quenda::ChannelsOf(static_cast<uint32_t>(color));
    return Place(at) +
           QStringLiteral(" | RGBA %1, %2, %3, %4").arg(c.red).arg(c.green).arg(c.blue).arg(alpha);
}

}  // namespace zorix
