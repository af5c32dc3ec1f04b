#include "controls/VkCheckBox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "controls/CheckImages.h"
#include "controls/colorFuncs.h"

namespace {

constexpr int kImageSize = 13;
constexpr int kSpacing = 4;  // between the image and the caption

int ImageIndex(int value) {
    return value == 1 ? 1 : (value == -1 ? 2 : 0);
}

}  // namespace

const PropertyTable<VkCheckBox>& VkCheckBox::Properties() {
    using C = VkCheckBox;
    static const PropertyTable<C> table{
        {"value", &C::value_, 0, -32768, 32767},
        {"ustyle", &C::style_, csNormal, csNormal, csTriState},
        {.key = "text", .member = &C::caption_, .fallback = &NameDefault<C>},
        {"ualign", &C::alignment_, baLeft, baLeft, baRight},
        {.key = "font", .member = &C::font_, .fallback = &AmbientFontDefault<C>},
        {"bcolor", &C::backColor_, colorFuncs::kSysButtonFace},
        {"fcolor", &C::foreColor_, colorFuncs::kSysButtonText},
        {"mcolor", &C::maskColor_, 0xC0C0C0},
        {"umask", &C::useMask_, false},
        {"uasize", &C::autoSize_, false},
        {"ufocus", &C::focusRect_, true},
        {"uhover", &C::hoverFX_, true},
        {"uhoverbold", &C::hoverBold_, false},
        {"uhoverunder", &C::hoverUnderline_, true},
        {"uhovercolor", &C::hoverColor_, 0xC00000},
        {"enabled", kEnabledFlag, true},
        {"xtrVar", &C::xtrVar_, QVariant()},
        {"ExProp", &C::exProp_, QString()},
    };
    return table;
}

VkCheckBox::VkCheckBox(QWidget* parent) : OwnerDrawnWidget(parent) {
    CheckImages::Load();
    Properties().ApplyDefaults(*this);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    resize(sizeHint());
}

VkCheckBox::~VkCheckBox() = default;

const PropertyRows& VkCheckBox::Rows() const {
    return Properties();
}

int VkCheckBox::Normalise(int value) const {
    int v = value > 0 ? 1 : (value < 0 ? -1 : 0);
    if (style_ == csNormal && v == -1) {
        v = 0;
    } else if (style_ == csYesNo && v == 0) {
        v = -1;
    }
    return v;
}

void VkCheckBox::StoreValue(int value) {
    value_ = value;
    const bool changed = value_ != announced_;
    announced_ = value_;
    if (changed && !loading_) {
        emit Change();
    }
}

void VkCheckBox::SetValue(int value) {
    StoreValue(Normalise(value));
    Announce(&value_);
}

void VkCheckBox::SetStyle(int style) {
    if (!Facts(&style_).Admits(style)) {
        return;
    }
    style_ = style;
    if (style_ == csYesNo && value_ == 0) {
        StoreValue(-1);
    } else if (style_ == csNormal && value_ == -1) {
        StoreValue(0);
    }
    Announce(&style_);
}

void VkCheckBox::DoClick() {
    int next = value_ + 1;
    if (next == 2) {
        next = -1;
    }
    if (style_ == csNormal && next == -1) {
        next = 0;
    } else if (style_ == csYesNo && next == 0) {
        next = 1;
    }
    SetValue(next);
    emit Click();
}

QFont VkCheckBox::CaptionFont() const {
    QFont f = font_;
    if (Hovering()) {
        f.setBold(hoverBold_ || f.bold());
        f.setUnderline(hoverUnderline_ || f.underline());
    }
    return f;
}

QSize VkCheckBox::FittedSize() const {
    const QFontMetrics fm(CaptionFont());
    const int text = caption_.isEmpty() ? 0 : fm.horizontalAdvance(caption_) + 2 * kSpacing;
    return QSize(kImageSize + text + 2, qMax(kImageSize, fm.height()) + 2);
}

QSize VkCheckBox::sizeHint() const {
    return FittedSize().expandedTo(QSize(80, 17));
}

QRect VkCheckBox::ImageRect() const {
    const int x = alignment_ == baLeft ? 1 : width() - kImageSize - 1;
    return QRect(x, (height() - kImageSize) / 2, kImageSize, kImageSize);
}

QImage VkCheckBox::Render() const {
    QImage image(qMax(1, width()), qMax(1, height()), QImage::Format_RGB32);
    image.fill(colorFuncs::ToQColor(backColor_));
    QPainter p(&image);
    const QRect box = ImageRect();
    p.drawImage(box.topLeft(), CheckImages::Get(isEnabled() ? 0 : 1, ImageIndex(value_)));
    if (caption_.isEmpty()) {
        return image;
    }
    const QFont f = CaptionFont();
    const QFontMetrics fm(f);
    const int textWidth = fm.horizontalAdvance(caption_);
    const int x =
        alignment_ == baLeft ? box.right() + 1 + kSpacing : box.left() - kSpacing - textWidth;
    const QRect text(x, (height() - fm.height()) / 2, textWidth, fm.height());
    const QColor color = CaptionColor(Hovering() ? hoverColor_ : foreColor_);
    p.setFont(f);
    p.setPen(color);
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, caption_);
    if (focusRect_ && hasFocus()) {
        QPen pen(color);
        pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        p.drawRect(text.adjusted(-2, 0, 1, -1));
    }
    return image;
}

void VkCheckBox::mousePressEvent(QMouseEvent* e) {
    click_.MousePressed(*e);
    setFocus(Qt::MouseFocusReason);
}

void VkCheckBox::mouseReleaseEvent(QMouseEvent* e) {
    if (click_.MouseReleased(*e, *this)) {
        DoClick();
    }
}

void VkCheckBox::mouseDoubleClickEvent(QMouseEvent* e) {
    if (click_.DoubleClicked(*e)) {
        emit DblClick();
    }
}

void VkCheckBox::keyPressEvent(QKeyEvent* e) {
    if (ClickGesture::IsClickKey(*e)) {
        click_.KeyPressed(*e);
        return;
    }
    QWidget::keyPressEvent(e);
}

void VkCheckBox::keyReleaseEvent(QKeyEvent* e) {
    if (click_.KeyReleased(*e)) {
        DoClick();
        return;
    }
    QWidget::keyReleaseEvent(e);
}

void VkCheckBox::focusInEvent(QFocusEvent*) {
    update();
}

void VkCheckBox::focusOutEvent(QFocusEvent*) {
    click_.Cancel();
    update();
}

void VkCheckBox::AfterReading() {
    OwnerDrawnWidget::AfterReading();
    value_ = Normalise(value_);
    announced_ = value_;
}
