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

const PropertyTable<VkMeter>& VkMeter::Properties() {
    static const PropertyTable<VkMeter> table{
        {"cl0", &VkMeter::colorL0_, 0x00C000},
        {"cl1", &VkMeter::colorL1_, 0x00C0C0},
        {"cl2", &VkMeter::colorL2_, 0x0000C0},
        {"coff", &VkMeter::colorOff_, 0x404040},
        {"bcolor", &VkMeter::backColor_, 0},
        {"orient", &VkMeter::orientation_, mtVertical, mtHorizontal, mtVertical},
        {"uappear", &VkMeter::appearance_, mtFlat, mtFlat, mt3D},
        {"uborder", &VkMeter::borderStyle_, mtNone, mtNone, mtFixedSingle},
        {"stps", &VkMeter::steps_, 12, 1, kMaxSteps},
        {"l1pc", &VkMeter::level1_, 70, -32768, 32767},
        {"l2pc", &VkMeter::level2_, 90, -32768, 32767},
        {"minv", &VkMeter::min_, 0},
        {"maxv", &VkMeter::max_, 100},
        {"vl", &VkMeter::value_, 0},
        {"xtrVar", &VkMeter::xtrVar_, QVariant()},
    };
    return table;
}

VkMeter::VkMeter(QWidget* parent) : QWidget(parent) {
    Properties().ApplyDefaults(*this);
    resize(sizeHint());
    Layout();
    Redraw();
}

VkMeter::~VkMeter() = default;

// Layout depends only on size, frame, orientation and steps, so laying out again after
// any change is the same as laying out after those alone.
void VkMeter::Changed(const char* key) {
    if (loading_) {
        return;
    }
    emit PropertyChanged(QString::fromLatin1(key));
    Layout();
    Redraw();
}

void VkMeter::SetColorL0(uint color) {
    StoreProperty(&VkMeter::colorL0_, color);
}
void VkMeter::SetColorL1(uint color) {
    StoreProperty(&VkMeter::colorL1_, color);
}
void VkMeter::SetColorL2(uint color) {
    StoreProperty(&VkMeter::colorL2_, color);
}
void VkMeter::SetColorOff(uint color) {
    StoreProperty(&VkMeter::colorOff_, color);
}
void VkMeter::SetBackColor(uint color) {
    StoreProperty(&VkMeter::backColor_, color);
}

void VkMeter::SetOrientation(int orientation) {
    if (!Properties().Find(&VkMeter::orientation_).Admits(orientation)) {
        return;
    }
    if (orientation != orientation_) {
        orientation_ = orientation;
        resize(height(), width());
    }
    Announce(&VkMeter::orientation_);
}

void VkMeter::SetAppearance(int appearance) {
    SetProperty(&VkMeter::appearance_, appearance);
}
void VkMeter::SetBorderStyle(int style) {
    SetProperty(&VkMeter::borderStyle_, style);
}
void VkMeter::SetSteps(int steps) {
    SetProperty(&VkMeter::steps_, steps);
}
void VkMeter::SetLevel1StartPc(int percent) {
    SetProperty(&VkMeter::level1_, percent);
}
void VkMeter::SetLevel2StartPc(int percent) {
    SetProperty(&VkMeter::level2_, percent);
}

void VkMeter::SetMin(int value) {
    if (Range().SetMin(value)) {
        UpdatePercentage();
        Announce(&VkMeter::min_);
    }
}

void VkMeter::SetMax(int value) {
    if (Range().SetMax(value)) {
        UpdatePercentage();
        Announce(&VkMeter::max_);
    }
}

void VkMeter::SetValue(int value) {
    if (!Range().SetValue(value)) {
        return;
    }
    UpdatePercentage();
    if (!loading_) {
        emit PropertyChanged(KeyOf(&VkMeter::value_));
    }
    emit Change();
    if (ComputeLit() != litDrawn_) {
        Redraw();
    }
}

void VkMeter::SetxtrVar(const QVariant& value) {
    StoreProperty(&VkMeter::xtrVar_, value);
}

void VkMeter::UpdatePercentage() {
    percentage_ = Range().Percentage();
}

int VkMeter::ComputeLit() const {
    const double lit = ValueRange::Scaled(min_, max_, value_, steps_);
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
    Properties().Read(*this, bag);
    Range().Repair();
    UpdatePercentage();
    loading_ = false;
    Layout();
    Redraw();
}

void VkMeter::WriteProperties(PropertyBag& bag) const {
    Properties().Write(*this, bag);
}
