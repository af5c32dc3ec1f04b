#include "controls/VkGradFrame.h"

#include <QMouseEvent>
#include <QPainter>

#include "controls/MouseArgs.h"
#include "controls/colorFuncs.h"
#include "controls/gradBar.h"

using MouseArgs::ButtonOf;
using MouseArgs::ShiftOf;

namespace {

constexpr int kCaptionMargin = 8;  // added to the caption text's width
constexpr int kTextInset = 2;

}  // namespace

const PropertyTable<VkGradFrame>& VkGradFrame::Properties() {
    using C = VkGradFrame;
    static const PropertyTable<C> table{
        {"ColorA", &C::colorA_, 0xBBAD9C},
        {"ColorB", &C::colorB_, 0xFFFFFF},
        {"BorderColor", &C::borderColor_, colorFuncs::kSysGrayText},
        {"ForeColor", &C::foreColor_, 0},
        {"orient", &C::orientation_, orVertical, orHorizontal, orVertical},
        {"appear", &C::appearance_, ap3D, apFlat, ap3D},
        {"bstyle", &C::borderStyle_, bsFixedSingle, bsNone, bsFixedSingle},
        {.key = "caption", .member = &C::caption_, .fallback = &NameDefault<C>},
        {"capAlign", &C::captionAlignment_, caTopLeft, caTopLeft, caBottomRight},
        {"capCentered", &C::captionCentered_, false},
        {"capW", &C::captionWidth_, 0, 0, 0x7FFF},
        {"capH", &C::captionHeight_, 0, 0, 0x7FFF},
        {.key = "font", .member = &C::font_, .fallback = &AmbientFontDefault<C>},
        {"enabled", kEnabledFlag, true},
        {"xtrVar", &C::xtrVar_, QVariant()},
    };
    return table;
}

VkGradFrame::VkGradFrame(QWidget* parent) : VkControl(parent) {
    Properties().ApplyDefaults(*this);
    resize(sizeHint());
}

VkGradFrame::~VkGradFrame() = default;

void VkGradFrame::InitNew(const QString& hostName) {
    caption_ = hostName;
    update();
}

const PropertyRows& VkGradFrame::Rows() const {
    return Properties();
}

// A negative size means no minimum; larger sizes than the saved range are kept.
void VkGradFrame::SetCaptionWidth(int width) {
    StoreField(captionWidth_, qMax(0, width));
}
void VkGradFrame::SetCaptionHeight(int height) {
    StoreField(captionHeight_, qMax(0, height));
}
QRect VkGradFrame::CaptionBox() const {
    const QFontMetrics fm(font_);
    const int w = qMax(fm.horizontalAdvance(caption_) + kCaptionMargin, captionWidth_);
    const int h = qMax(fm.height(), captionHeight_);
    const bool right = captionAlignment_ == caTopRight || captionAlignment_ == caBottomRight;
    const bool bottom = captionAlignment_ == caBottomLeft || captionAlignment_ == caBottomRight;
    return QRect(right ? width() - w : 0, bottom ? height() - h : 0, w, h);
}

void VkGradFrame::DrawFrame(QPainter& p, const QRect& box) const {
    const QColor border = colorFuncs::ToQColor(borderColor_);
    if (appearance_ == apFlat) {
        p.setPen(border);
        p.drawRect(box.adjusted(0, 0, -1, -1));
        return;
    }
    // Etched groove: white one pixel in, the border colour one pixel smaller and
    // shifted to the top left.
    p.setPen(Qt::white);
    p.drawRect(box.adjusted(1, 1, -1, -1));
    p.setPen(border);
    p.drawRect(box.adjusted(0, 0, -2, -2));
}

void VkGradFrame::DrawCaption(QPainter& p) const {
    const QRect box = CaptionBox();
    DrawFrame(p, box);
    p.setFont(font_);
    p.setPen(CaptionColor(foreColor_));
    if (captionCentered_) {
        p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, caption_);
    } else {
        p.drawText(box.adjusted(kTextInset, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, caption_);
    }
}

void VkGradFrame::Draw(QPainter& p) const {
    if (colorA_ == colorB_) {
        p.fillRect(rect(), colorFuncs::ToQColor(colorA_));
    } else {
        gradBar::Draw(p, 0, 0, width(), height(), colorA_, colorB_,
                      orientation_ == orVertical ? gradBar::kTopToBottom : gradBar::kLeftToRight);
    }
    if (borderStyle_ == bsFixedSingle) {
        DrawFrame(p, rect());
    }
    if (!caption_.isEmpty()) {
        DrawCaption(p);
    }
}

QImage VkGradFrame::Image() const {
    QImage image(qMax(1, width()), qMax(1, height()), QImage::Format_RGB32);
    QPainter p(&image);
    Draw(p);
    return image;
}

void VkGradFrame::paintEvent(QPaintEvent*) {
    if (loading_) {
        return;
    }
    QPainter p(this);
    Draw(p);
}

void VkGradFrame::resizeEvent(QResizeEvent*) {
    update();
    emit Resize();
}

void VkGradFrame::mousePressEvent(QMouseEvent* e) {
    click_.MousePressed(*e);
    emit MouseDown(ButtonOf(e->button()), ShiftOf(e->modifiers()), e->position().x(),
                   e->position().y());
}

void VkGradFrame::mouseMoveEvent(QMouseEvent* e) {
    emit MouseMove(ButtonOf(e->buttons()), ShiftOf(e->modifiers()), e->position().x(),
                   e->position().y());
}

void VkGradFrame::mouseReleaseEvent(QMouseEvent* e) {
    emit MouseUp(ButtonOf(e->button()), ShiftOf(e->modifiers()), e->position().x(),
                 e->position().y());
    if (click_.MouseReleased(*e, *this)) {
        emit Click();
    }
}

void VkGradFrame::mouseDoubleClickEvent(QMouseEvent*) {
    emit DblClick();
}
