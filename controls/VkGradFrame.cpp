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

VkGradFrame::VkGradFrame(QWidget* parent) : QWidget(parent) {
    font_ = QWidget::font();
    resize(sizeHint());
}

VkGradFrame::~VkGradFrame() = default;

void VkGradFrame::InitNew(const QString& hostName) {
    caption_ = hostName;
    update();
}

void VkGradFrame::Changed(const char* key) {
    if (loading_) {
        return;
    }
    emit PropertyChanged(QString::fromLatin1(key));
    update();
}

void VkGradFrame::SetSizeProperty(int* field, int value, const char* key) {
    *field = qMax(0, value);
    Changed(key);
}

void VkGradFrame::SetColorA(uint color) {
    SetColorProperty(&colorA_, color, "ColorA");
}
void VkGradFrame::SetColorB(uint color) {
    SetColorProperty(&colorB_, color, "ColorB");
}
void VkGradFrame::SetBorderColor(uint color) {
    SetColorProperty(&borderColor_, color, "BorderColor");
}
void VkGradFrame::SetForeColor(uint color) {
    SetColorProperty(&foreColor_, color, "ForeColor");
}
void VkGradFrame::SetOrientation(int orientation) {
    SetEnumProperty(&orientation_, orientation, orVertical, "orient");
}
void VkGradFrame::SetAppearance(int appearance) {
    SetEnumProperty(&appearance_, appearance, ap3D, "appear");
}
void VkGradFrame::SetBorderStyle(int style) {
    SetEnumProperty(&borderStyle_, style, bsFixedSingle, "bstyle");
}
void VkGradFrame::SetCaption(const QString& caption) {
    caption_ = caption;
    Changed("caption");
}
void VkGradFrame::SetCaptionAlignment(int alignment) {
    SetEnumProperty(&captionAlignment_, alignment, caBottomRight, "capAlign");
}
void VkGradFrame::SetCaptionTextCentered(bool centered) {
    captionCentered_ = centered;
    Changed("capCentered");
}
void VkGradFrame::SetCaptionWidth(int width) {
    SetSizeProperty(&captionWidth_, width, "capW");
}
void VkGradFrame::SetCaptionHeight(int height) {
    SetSizeProperty(&captionHeight_, height, "capH");
}
void VkGradFrame::SetFont(const QFont& font) {
    font_ = font;
    Changed("font");
}
void VkGradFrame::SetEnabled(bool enabled) {
    setEnabled(enabled);
    Changed("enabled");
}
void VkGradFrame::SetxtrVar(const QVariant& value) {
    xtrVar_ = value;
    Changed("xtrVar");
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
    p.setPen(isEnabled() ? colorFuncs::ToQColor(foreColor_)
                         : colorFuncs::ToQColor(colorFuncs::kSysGrayText));
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
    pressed_ = e->button() == Qt::LeftButton;
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
    if (pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) {
        emit Click();
    }
    pressed_ = false;
}

void VkGradFrame::mouseDoubleClickEvent(QMouseEvent*) {
    emit DblClick();
}

void VkGradFrame::ReadProperties(const PropertyBag& bag) {
    loading_ = true;
    colorA_ = bag.ReadColor("ColorA", 0xBBAD9C);
    colorB_ = bag.ReadColor("ColorB", 0xFFFFFF);
    borderColor_ = bag.ReadColor("BorderColor", colorFuncs::kSysGrayText);
    foreColor_ = bag.ReadColor("ForeColor", 0);
    orientation_ = bag.ReadRange("orient", orVertical, orHorizontal, orVertical);
    appearance_ = bag.ReadRange("appear", ap3D, apFlat, ap3D);
    borderStyle_ = bag.ReadRange("bstyle", bsFixedSingle, bsNone, bsFixedSingle);
    caption_ = bag.ReadString("caption", objectName());
    captionAlignment_ = bag.ReadRange("capAlign", caTopLeft, caTopLeft, caBottomRight);
    captionCentered_ = bag.ReadBool("capCentered", false);
    captionWidth_ = bag.ReadRange("capW", 0, 0, 0x7FFF);
    captionHeight_ = bag.ReadRange("capH", 0, 0, 0x7FFF);
    font_ = bag.ReadFont("font", QWidget::font());
    setEnabled(bag.ReadBool("enabled", true));
    xtrVar_ = bag.ReadVariant("xtrVar", QVariant());
    loading_ = false;
    update();
}

void VkGradFrame::WriteProperties(PropertyBag& bag) const {
    bag.Write("ColorA", colorA_);
    bag.Write("ColorB", colorB_);
    bag.Write("BorderColor", borderColor_);
    bag.Write("ForeColor", foreColor_);
    bag.Write("orient", orientation_);
    bag.Write("appear", appearance_);
    bag.Write("bstyle", borderStyle_);
    bag.Write("caption", caption_);
    bag.Write("capAlign", captionAlignment_);
    bag.Write("capCentered", captionCentered_);
    bag.Write("capW", captionWidth_);
    bag.Write("capH", captionHeight_);
    bag.Write("font", font_.toString());
    bag.Write("enabled", isEnabled());
    bag.Write("xtrVar", xtrVar_);
}
