#include "controls/VkProgressBar.h"

#include <QMouseEvent>
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

VkProgressBar::VkProgressBar(QWidget* parent) : QWidget(parent) {
    ApplyDefaults();
    resize(sizeHint());
    Redraw();
}

VkProgressBar::~VkProgressBar() = default;

void VkProgressBar::ApplyDefaults() {
    const PbTheme& t = kThemes[thmCorporate];
    theme_ = thmCorporate;
    barColor_ = t.bar;
    backColor_ = t.back;
    lightColor_ = t.light;
    borderColor_ = t.border;
    appearance_ = t.appearance;
    lightStyle_ = t.lightStyle;
    borderStyle_ = pbFixedSingle;
    orientation_ = pbHorizontal;
    min_ = 0;
    max_ = 100;
    value_ = 0;
    xtrVar_ = QVariant();
    UpdatePercentage();
}

void VkProgressBar::Changed(const char* key) {
    if (quiet_) {
        return;
    }
    emit PropertyChanged(QString::fromLatin1(key));
    Redraw();
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

void VkProgressBar::SetColorProperty(uint* field, uint color, const char* key) {
    *field = color;
    theme_ = thmCUSTOM;
    Changed(key);
}

void VkProgressBar::SetStyleProperty(int* field, int value, int lo, int hi, const char* key) {
    if (value < lo || value > hi) {
        return;
    }
    *field = value;
    theme_ = thmCUSTOM;
    Changed(key);
}

void VkProgressBar::SetBarColor(uint color) {
    SetColorProperty(&barColor_, color, "BarColor");
}
void VkProgressBar::SetBackColor(uint color) {
    SetColorProperty(&backColor_, color, "BackColor");
}
void VkProgressBar::SetLightColor(uint color) {
    SetColorProperty(&lightColor_, color, "LightColor");
}
void VkProgressBar::SetBorderColor(uint color) {
    SetColorProperty(&borderColor_, color, "BorderColor");
}
void VkProgressBar::SetLightStyle(int style) {
    SetStyleProperty(&lightStyle_, style, lsSoft, lsTube, "lstyle");
}
void VkProgressBar::SetAppearance(int appearance) {
    SetStyleProperty(&appearance_, appearance, pbFlat, pb3D, "uappear");
}
void VkProgressBar::SetBorderStyle(int style) {
    SetStyleProperty(&borderStyle_, style, pbNone, pbFixedSingle, "uborder");
}

void VkProgressBar::SetOrientation(int orientation) {
    if (orientation != pbHorizontal && orientation != pbVertical) {
        return;
    }
    if (orientation != orientation_) {
        orientation_ = orientation;
        resize(height(), width());
    }
    Changed("orient");
}

void VkProgressBar::SetMin(int value) {
    if (value >= max_) {
        return;
    }
    min_ = value;
    if (value_ < min_) {
        value_ = min_;
    }
    UpdatePercentage();
    Changed("minv");
}

void VkProgressBar::SetMax(int value) {
    if (value <= min_) {
        return;
    }
    max_ = value;
    if (value_ > max_) {
        value_ = max_;
    }
    UpdatePercentage();
    Changed("maxv");
}

void VkProgressBar::SetValue(int value) {
    const int clamped = qBound(min_, value, max_);
    if (clamped == value_) {
        return;
    }
    value_ = clamped;
    UpdatePercentage();
    Changed("vl");
    emit Change();
}

void VkProgressBar::SetxtrVar(const QVariant& value) {
    xtrVar_ = value;
    Changed("xtrVar");
}

void VkProgressBar::UpdatePercentage() {
    const double span = static_cast<double>(max_) - static_cast<double>(min_);
    percentage_ =
        span > 0
            ? static_cast<int>(std::lround((static_cast<double>(value_) - min_) * 100.0 / span))
            : 0;
}

int VkProgressBar::FrameWidth() const {
    return appearance_ == pb3D && borderStyle_ == pbFixedSingle ? Frame3D::kWidth : 0;
}

void VkProgressBar::Redraw() {
    if (quiet_) {
        return;
    }
    const int f = FrameWidth();
    const int w = qMax(0, width() - 2 * f);
    const int h = qMax(0, height() - 2 * f);
    surface_ = QImage(qMax(1, w), qMax(1, h), QImage::Format_RGB32);
    surface_.fill(Qt::white);
    if (w > 0 && h > 0) {
        QPainter p(&surface_);
        const double span = static_cast<double>(max_) - static_cast<double>(min_);
        if (span > 0) {
            const bool vertical = orientation_ == pbVertical;
            const int length = vertical ? h : w;
            const int across = vertical ? w : h;
            const double pc = (static_cast<double>(value_) - min_) * 100.0 / span;
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

void VkProgressBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int f = FrameWidth();
    if (f > 0) {
        Frame3D::DrawSunken(p, rect());
    }
    p.drawImage(f, f, surface_);
}

void VkProgressBar::resizeEvent(QResizeEvent*) {
    Redraw();
}

void VkProgressBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit Click();
    }
}

void VkProgressBar::mouseDoubleClickEvent(QMouseEvent*) {
    emit DblClick();
}

void VkProgressBar::ReadProperties(const PropertyBag& bag) {
    quiet_ = true;
    const PbTheme& t = kThemes[thmCorporate];
    barColor_ = bag.ReadColor("BarColor", t.bar);
    backColor_ = bag.ReadColor("BackColor", t.back);
    lightColor_ = bag.ReadColor("LightColor", t.light);
    borderColor_ = bag.ReadColor("BorderColor", t.border);
    lightStyle_ = bag.ReadRange("lstyle", t.lightStyle, lsSoft, lsTube);
    orientation_ = bag.ReadRange("orient", pbHorizontal, pbHorizontal, pbVertical);
    appearance_ = bag.ReadRange("uappear", t.appearance, pbFlat, pb3D);
    borderStyle_ = bag.ReadRange("uborder", pbFixedSingle, pbNone, pbFixedSingle);
    min_ = bag.ReadInt("minv", 0);
    max_ = bag.ReadInt("maxv", 100);
    if (max_ <= min_) {
        min_ = 0;
        max_ = 100;
    }
    value_ = qBound(min_, bag.ReadInt("vl", 0), max_);
    xtrVar_ = bag.ReadVariant("xtrVar", QVariant());
    theme_ = thmCUSTOM;  // the theme itself is not saved
    UpdatePercentage();
    quiet_ = false;
    Redraw();
}

void VkProgressBar::WriteProperties(PropertyBag& bag) const {
    bag.Write("BarColor", barColor_);
    bag.Write("BackColor", backColor_);
    bag.Write("LightColor", lightColor_);
    bag.Write("BorderColor", borderColor_);
    bag.Write("lstyle", lightStyle_);
    bag.Write("orient", orientation_);
    bag.Write("uappear", appearance_);
    bag.Write("uborder", borderStyle_);
    bag.Write("minv", min_);
    bag.Write("maxv", max_);
    bag.Write("vl", value_);
    bag.Write("xtrVar", xtrVar_);
}
