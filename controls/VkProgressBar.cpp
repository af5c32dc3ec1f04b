#include "controls/VkProgressBar.h"

#include <QPainter>
#include <cmath>

#include "controls/Frame3D.h"
#include "controls/colorFuncs.h"
#include "controls/gradBar.h"

namespace {

struct PbTheme {
    uint bar, back, light, border;
    int appearance, lightStyle;
};

// Rows 1..5 of the theme table; row 0 (custom) changes nothing.
const PbTheme kThemes[] = {
    {0, 0, 0, 0, 0, 0},
    {0x873A00, 0xDED9D8, 0xFFFFFF, 0xC9A08D, 0, 1},
    {0x8D918E, 0xEBF2ED, 0xFFFFFF, 0x979F8F, 0, 0},
    {0x00AAFF, 0xC9E9FF, 0xE0FFFF, 0x808080, 0, 0},
    {0x0000C0, 0xE0DFD7, 0xFFFFFF, 0x000000, 1, 1},
    {0x509929, 0xF4FFEE, 0xFFFFFF, 0x000000, 1, 0},
};

void DrawBand(QPainter& p, bool vertical, int from, int to, int cross0, int cross1, uint c0,
              uint c1) {
    // from..to along the bar's length; cross0..cross1 across it.
    if (to <= from || cross1 <= cross0) {
        return;
    }
    if (vertical) {
        gradBar::Draw(p, cross0, from, cross1 - cross0, to - from, c0, c1, gradBar::kLeftToRight);
    } else {
        gradBar::Draw(p, from, cross0, to - from, cross1 - cross0, c0, c1, gradBar::kTopToBottom);
    }
}

}  // namespace

const PropertyTable<VkProgressBar>& VkProgressBar::Properties() {
    const PbTheme& t = kThemes[thmCorporate];
    static const PropertyTable<VkProgressBar> table{
        {"BarColor", &VkProgressBar::barColor_, t.bar},
        {"BackColor", &VkProgressBar::backColor_, t.back},
        {"LightColor", &VkProgressBar::lightColor_, t.light},
        {"BorderColor", &VkProgressBar::borderColor_, t.border},
        {"lstyle", &VkProgressBar::lightStyle_, t.lightStyle, lsSoft, lsTube},
        {"orient", &VkProgressBar::orientation_, pbHorizontal, pbHorizontal, pbVertical},
        {"uappear", &VkProgressBar::appearance_, t.appearance, pbFlat, pb3D},
        {"uborder", &VkProgressBar::borderStyle_, pbFixedSingle, pbNone, pbFixedSingle},
        {"minv", &VkProgressBar::min_, 0},
        {"maxv", &VkProgressBar::max_, 100},
        {"vl", &VkProgressBar::value_, 0},
        {"xtrVar", &VkProgressBar::xtrVar_, QVariant()},
    };
    return table;
}

VkProgressBar::VkProgressBar(QWidget* parent) : VkRangeControl(parent) {
    Properties().ApplyDefaults(*this);
    resize(sizeHint());
    Refresh();
}

VkProgressBar::~VkProgressBar() = default;

const PropertyRows& VkProgressBar::Rows() const {
    return Properties();
}

void VkProgressBar::SetTheme(int theme) {
    if (theme < thmCUSTOM || theme > thmNature3D) {
        return;
    }
    theme_ = theme;
    if (theme != thmCUSTOM) {
        const PbTheme& t = kThemes[theme];
        barColor_ = t.bar;
        backColor_ = t.back;
        lightColor_ = t.light;
        borderColor_ = t.border;
        appearance_ = t.appearance;
        lightStyle_ = t.lightStyle;
        borderStyle_ = pbFixedSingle;
    }
    Changed("thm");
}

void VkProgressBar::AfterReading() {
    VkRangeControl::AfterReading();
    theme_ = thmCUSTOM;  // the theme itself is not saved
}

int VkProgressBar::FrameWidth() const {
    return appearance_ == pb3D && borderStyle_ == pbFixedSingle ? Frame3D::kWidth : 0;
}

void VkProgressBar::Refresh() {
    if (loading_) {
        return;
    }
    const int f = FrameWidth();
    const int w = qMax(0, width() - 2 * f);
    const int h = qMax(0, height() - 2 * f);
    surface_ = QImage(qMax(1, w), qMax(1, h), QImage::Format_RGB32);
    surface_.fill(Qt::white);
    if (w > 0 && h > 0) {
        QPainter p(&surface_);
        if (Range().HasSpan()) {
            const bool vertical = orientation_ == pbVertical;
            const int length = vertical ? h : w;
            const int across = vertical ? w : h;
            const double pc = Range().Scaled(100.0);
            const int filled =
                qBound(0, static_cast<int>(std::lround(pc * length / 100.0)), length);
            // Along-axis coordinates: the filled part is [0, filled) horizontally and the
            // bottom [length - filled, length) vertically.
            const int fillFrom = vertical ? length - filled : 0;
            const int fillTo = vertical ? length : filled;
            const int restFrom = vertical ? 0 : filled;
            const int restTo = vertical ? length - filled : length;
            if (lightStyle_ == lsSoft) {
                DrawBand(p, vertical, 0, length, 0, across, lightColor_, backColor_);
                if (filled > 0) {
                    DrawBand(p, vertical, fillFrom, fillTo, 0, across, lightColor_, barColor_);
                }
            } else {
                const int t = across / 5;
                p.fillRect(0, 0, w, h, colorFuncs::ToQColor(backColor_));
                DrawBand(p, vertical, restFrom, restTo, 0, t, backColor_, lightColor_);
                DrawBand(p, vertical, restFrom, restTo, t, across, lightColor_, backColor_);
                if (filled > 0) {
                    DrawBand(p, vertical, fillFrom, fillTo, 0, t, barColor_, lightColor_);
                    DrawBand(p, vertical, fillFrom, fillTo, t, across, lightColor_, barColor_);
                }
            }
        }
        if (appearance_ == pbFlat && borderStyle_ == pbFixedSingle) {
            p.setPen(colorFuncs::ToQColor(borderColor_));
            p.drawRect(0, 0, w - 1, h - 1);
        }
    }
    update();
}
