#include "controls/VkMeter.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "controls/Frame3D.h"
#include "controls/colorFuncs.h"
#include "controls/drawApiRect.h"

namespace {

constexpr int kGap = 2;
constexpr int kMargin = 1;
constexpr int kMaxSteps = 32767;

// Rounds to the nearest integer, halves to even.
long RoundEven(double v) {
    return std::lrint(std::nearbyint(v));
}

}  // namespace

VkMeter::VkMeter(QWidget* parent) : QWidget(parent) {
    resize(sizeHint());
    Layout();
    Redraw();
}

VkMeter::~VkMeter() = default;

void VkMeter::Changed(const char* key, bool relayout) {
    if (loading_) {
        return;
    }
    emit PropertyChanged(QString::fromLatin1(key));
    if (relayout) {
        Layout();
    }
    Redraw();
}

void VkMeter::SetColorProperty(uint* field, uint color, const char* key) {
    *field = color;
    Changed(key, false);
}

void VkMeter::SetColorL0(uint color) {
    SetColorProperty(&colorL0_, color, "cl0");
}
void VkMeter::SetColorL1(uint color) {
    SetColorProperty(&colorL1_, color, "cl1");
}
void VkMeter::SetColorL2(uint color) {
    SetColorProperty(&colorL2_, color, "cl2");
}
void VkMeter::SetColorOff(uint color) {
    SetColorProperty(&colorOff_, color, "coff");
}
void VkMeter::SetBackColor(uint color) {
    SetColorProperty(&backColor_, color, "bcolor");
}

void VkMeter::SetOrientation(int orientation) {
    if (orientation != mtHorizontal && orientation != mtVertical) {
        return;
    }
    if (orientation != orientation_) {
        orientation_ = orientation;
        resize(height(), width());
    }
    Changed("orient", true);
}

void VkMeter::SetAppearance(int appearance) {
    if (appearance != mtFlat && appearance != mt3D) {
        return;
    }
    appearance_ = appearance;
    Changed("uappear", true);
}

void VkMeter::SetBorderStyle(int style) {
    if (style != mtNone && style != mtFixedSingle) {
        return;
    }
    borderStyle_ = style;
    Changed("uborder", true);
}

void VkMeter::SetSteps(int steps) {
    if (steps < 1 || steps > kMaxSteps) {
        return;
    }
    steps_ = steps;
    Changed("stps", true);
}

void VkMeter::SetLevel1StartPc(int percent) {
    if (percent < -32768 || percent > 32767) {
        return;
    }
    level1_ = percent;
    Changed("l1pc", false);
}

void VkMeter::SetLevel2StartPc(int percent) {
    if (percent < -32768 || percent > 32767) {
        return;
    }
    level2_ = percent;
    Changed("l2pc", false);
}

void VkMeter::SetMin(int value) {
    if (value >= max_) {
        return;
    }
    min_ = value;
    value_ = qMax(value_, min_);
    UpdatePercentage();
    Changed("minv", false);
}

void VkMeter::SetMax(int value) {
    if (value <= min_) {
        return;
    }
    max_ = value;
    value_ = qMin(value_, max_);
    UpdatePercentage();
    Changed("maxv", false);
}

void VkMeter::SetValue(int value) {
    const int clamped = qBound(min_, value, max_);
    if (clamped == value_) {
        return;
    }
    value_ = clamped;
    UpdatePercentage();
    if (!loading_) {
        emit PropertyChanged("vl");
    }
    emit Change();
    if (ComputeLit() != litDrawn_) {
        Redraw();
    }
}

void VkMeter::SetxtrVar(const QVariant& value) {
    xtrVar_ = value;
    Changed("xtrVar", false);
}

void VkMeter::UpdatePercentage() {
    const double span = static_cast<double>(max_) - min_;
    percentage_ =
        span > 0
            ? static_cast<int>(std::lround((static_cast<double>(value_) - min_) * 100.0 / span))
            : 0;
}

int VkMeter::ComputeLit() const {
    const double span = static_cast<double>(max_) - min_;
    if (span <= 0) {
        return 0;
    }
    const double lit = steps_ * (static_cast<double>(value_) - min_) / span;
    return qBound(0, static_cast<int>(RoundEven(lit)), steps_);
}

quint32 VkMeter::SegmentColor(int i, int lit) const {
    if (i > lit) {
        return colorOff_;
    }
    const long f = RoundEven(i * 100.0 / steps_);
    if (f > level2_) {
        return colorL2_;
    }
    if (f > level1_) {
        return colorL1_;
    }
    return colorL0_;
}

int VkMeter::FrameWidth() const {
    if (borderStyle_ != mtFixedSingle) {
        return 0;
    }
    return appearance_ == mt3D ? Frame3D::kWidth : 1;
}

void VkMeter::Layout() {
    segments_.clear();
    const int f = FrameWidth();
    const int w = width() - 2 * f;
    const int h = height() - 2 * f;
    const bool vertical = orientation_ == mtVertical;
    const int length = (vertical ? h : w) - 2 * kMargin;
    const int across = (vertical ? w : h) - 2 * kMargin;
    if (length <= 0 || across <= 0) {
        return;
    }
    // Equal shares of the length, each share one segment followed by the gap.
    const double share = static_cast<double>(length + kGap) / steps_;
    for (int i = 0; i < steps_; ++i) {
        const int a = kMargin + static_cast<int>(std::lround(i * share));
        const int b = kMargin + static_cast<int>(std::lround((i + 1) * share)) - kGap;
        const int len = qMax(1, b - a);
        if (vertical) {
            segments_.append(QRect(kMargin, h - a - len, across, len));
        } else {
            segments_.append(QRect(a, kMargin, len, across));
        }
    }
}

void VkMeter::Redraw() {
    if (loading_) {
        return;
    }
    const int f = FrameWidth();
    surface_ = QImage(qMax(1, width() - 2 * f), qMax(1, height() - 2 * f), QImage::Format_RGB32);
    surface_.fill(colorFuncs::ToQColor(backColor_));
    QPainter p(&surface_);
    const int lit = ComputeLit();
    for (int i = 0; i < segments_.size(); ++i) {
        const QRect& r = segments_[i];
        const quint32 c = SegmentColor(i + 1, lit);
        drawApiRect(p, r.left(), r.top(), r.right() + 1, r.bottom() + 1, c, c);
    }
    litDrawn_ = lit;
    ++drawCount_;
    update();
}

void VkMeter::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int f = FrameWidth();
    if (f == Frame3D::kWidth) {
        Frame3D::DrawSunken(p, rect());
    } else if (f == 1) {
        p.setPen(colorFuncs::ToQColor(0x80000006u));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    p.drawImage(f, f, surface_);
}

void VkMeter::resizeEvent(QResizeEvent*) {
    Layout();
    Redraw();
}

void VkMeter::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) {
        emit Click();
    }
}

void VkMeter::mouseDoubleClickEvent(QMouseEvent*) {
    emit DblClick();
}

void VkMeter::ReadProperties(const PropertyBag& bag) {
    loading_ = true;
    colorL0_ = bag.ReadColor("cl0", 0x00C000);
    colorL1_ = bag.ReadColor("cl1", 0x00C0C0);
    colorL2_ = bag.ReadColor("cl2", 0x0000C0);
    colorOff_ = bag.ReadColor("coff", 0x404040);
    backColor_ = bag.ReadColor("bcolor", 0);
    orientation_ = bag.ReadRange("orient", mtVertical, mtHorizontal, mtVertical);
    appearance_ = bag.ReadRange("uappear", mtFlat, mtFlat, mt3D);
    borderStyle_ = bag.ReadRange("uborder", mtNone, mtNone, mtFixedSingle);
    steps_ = bag.ReadRange("stps", 12, 1, kMaxSteps);
    level1_ = bag.ReadRange("l1pc", 70, -32768, 32767);
    level2_ = bag.ReadRange("l2pc", 90, -32768, 32767);
    min_ = bag.ReadInt("minv", 0);
    max_ = bag.ReadInt("maxv", 100);
    if (max_ <= min_) {
        min_ = 0;
        max_ = 100;
    }
    value_ = qBound(min_, bag.ReadInt("vl", 0), max_);
    xtrVar_ = bag.ReadVariant("xtrVar", QVariant());
    UpdatePercentage();
    loading_ = false;
    Layout();
    Redraw();
}

void VkMeter::WriteProperties(PropertyBag& bag) const {
    bag.Write("cl0", colorL0_);
    bag.Write("cl1", colorL1_);
    bag.Write("cl2", colorL2_);
    bag.Write("coff", colorOff_);
    bag.Write("bcolor", backColor_);
    bag.Write("orient", orientation_);
    bag.Write("uappear", appearance_);
    bag.Write("uborder", borderStyle_);
    bag.Write("stps", steps_);
    bag.Write("l1pc", level1_);
    bag.Write("l2pc", level2_);
    bag.Write("minv", min_);
    bag.Write("maxv", max_);
    bag.Write("vl", value_);
    bag.Write("xtrVar", xtrVar_);
}
