#include "controls/colorFuncs.h"

#include <QGuiApplication>
#include <QPalette>
#include <cmath>

namespace colorFuncs {
namespace {

struct SystemRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// Window system colour numbers 0..30 mapped onto palette roles.
SystemRole RoleOf(int index) {
    using P = QPalette;
    static const SystemRole table[] = {
        {P::Active, P::Mid},              // 0 scroll bar
        {P::Active, P::Dark},             // 1 desktop
        {P::Active, P::Highlight},        // 2 active caption
        {P::Inactive, P::Mid},            // 3 inactive caption
        {P::Active, P::Window},           // 4 menu
        {P::Active, P::Base},             // 5 window
        {P::Active, P::Shadow},           // 6 window frame
        {P::Active, P::WindowText},       // 7 menu text
        {P::Active, P::Text},             // 8 window text
        {P::Active, P::HighlightedText},  // 9 caption text
        {P::Active, P::Window},           // 10 active border
        {P::Inactive, P::Window},         // 11 inactive border
        {P::Active, P::Dark},             // 12 application workspace
        {P::Active, P::Highlight},        // 13 highlight
        {P::Active, P::HighlightedText},  // 14 highlighted text
        {P::Active, P::Button},           // 15 button face
        {P::Active, P::Dark},             // 16 button shadow
        {P::Disabled, P::WindowText},     // 17 grey text
        {P::Active, P::ButtonText},       // 18 button text
        {P::Inactive, P::WindowText},     // 19 inactive caption text
        {P::Active, P::Light},            // 20 button highlight
        {P::Active, P::Shadow},           // 21 3D dark shadow
        {P::Active, P::Midlight},         // 22 3D light
        {P::Active, P::ToolTipText},      // 23 tooltip text
        {P::Active, P::ToolTipBase},      // 24 tooltip background
        {P::Active, P::Window},           // 25 (unused number)
        {P::Active, P::Link},             // 26 hot-track
        {P::Active, P::Highlight},        // 27 gradient active caption
        {P::Inactive, P::Mid},            // 28 gradient inactive caption
        {P::Active, P::Highlight},        // 29 menu highlight
        {P::Active, P::Window},           // 30 menu bar
    };
    constexpr int count = static_cast<int>(sizeof(table) / sizeof(table[0]));
    return table[index >= 0 && index < count ? index : 15];
}

quint32 Channel(quint32 color, int shift) {
    return (color >> shift) & 0xFFu;
}

}  // namespace

bool IsSystemColor(quint32 color) {
    return (color & kSystemFlag) != 0;
}

quint32 FromQColor(const QColor& color) {
    return Rgb(color.red(), color.green(), color.blue());
}

quint32 TranslateColor(quint32 color) {
    if (!IsSystemColor(color)) {
        return color & 0x00FFFFFFu;
    }
    const SystemRole r = RoleOf(static_cast<int>(color & 0xFFu));
    return FromQColor(QGuiApplication::palette().color(r.group, r.role));
}

quint32 Brightness(quint32 color, int percent) {
    if (percent < 0 || percent > 200) {
        return 0;
    }
    const quint32 c = TranslateColor(color);
    quint32 out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const long v = std::lround(static_cast<double>(Channel(c, shift)) * percent / 100.0);
        out |= static_cast<quint32>(v > 255 ? 255 : v) << shift;
    }
    return out;
}

quint32 Blend(quint32 a, quint32 b, double t) {
    quint32 out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double ca = Channel(a, shift);
        const double cb = Channel(b, shift);
        const long v = std::lround(ca + (cb - ca) * t);
        out |= static_cast<quint32>(v < 0 ? 0 : (v > 255 ? 255 : v)) << shift;
    }
    return out;
}

QColor ToQColor(quint32 color) {
    const quint32 c = TranslateColor(color);
    return QColor(static_cast<int>(Channel(c, 0)), static_cast<int>(Channel(c, 8)),
                  static_cast<int>(Channel(c, 16)));
}

}  // namespace colorFuncs
