#pragma once

#include <QColor>
#include <QtGlobal>

// Colour words are 0x00BBGGRR (red in the low byte). A word with the high bit set,
// 0x800000nn, names the window system's colour number nn and is translated before use.
namespace colorFuncs {

constexpr quint32 kSystemFlag = 0x80000000u;
constexpr quint32 kSysWindowFrame = 0x80000006u;
constexpr quint32 kSysButtonFace = 0x8000000Fu;
constexpr quint32 kSysButtonShadow = 0x80000010u;
constexpr quint32 kSysGrayText = 0x80000011u;
constexpr quint32 kSysButtonText = 0x80000012u;
constexpr quint32 kSysButtonHighlight = 0x80000014u;
constexpr quint32 kSys3DDarkShadow = 0x80000015u;
constexpr quint32 kSys3DLight = 0x80000016u;
constexpr quint32 kSysInfoText = 0x80000017u;
constexpr quint32 kSysInfoBack = 0x80000018u;

bool IsSystemColor(quint32 color);
// A real 0x00BBGGRR colour: system values looked up in the application palette,
// other values with their unused high byte dropped.
quint32 TranslateColor(quint32 color);
// Each channel times percent / 100, rounded and limited to 255; a percentage
// outside 0..200 gives black. System values are translated first.
quint32 Brightness(quint32 color, int percent);
// Channel-wise linear blend: t = 0 gives a, t = 1 gives b.
quint32 Blend(quint32 a, quint32 b, double t);

QColor ToQColor(quint32 color);  // translates system values
quint32 FromQColor(const QColor& color);
constexpr quint32 Rgb(int r, int g, int b) {
    return static_cast<quint32>(r & 0xFF) | (static_cast<quint32>(g & 0xFF) << 8) |
           (static_cast<quint32>(b & 0xFF) << 16);
}

}  // namespace colorFuncs
