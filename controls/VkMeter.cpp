#include "controls/VkMeter.h"

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

VkMeter::VkMeter(QWidget* parent) : VkRangeControl(parent) {
    Properties().ApplyDefaults(*this);
    resize(sizeHint());
    Refresh();
}

VkMeter::~VkMeter() = default;

const PropertyRows& VkMeter::Rows() const {
    return Properties();
}

void VkMeter::Refresh() {
    Layout();
    Redraw();
}

void VkMeter::ShowValue() {
    if (ComputeLit() != litDrawn_) {
        Redraw();
    }
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
