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

constexpr char kEnabledKey[] = "enabled";

}  // namespace

const PropertyTable<VkCheckBox>& VkCheckBox::Properties() {
    using C = VkCheckBox;
    static const PropertyTable<C> table{
        {"value", &C::value_, 0, -32768, 32767},
        {"ustyle", &C::style_, csNormal, csNormal, csTriState},
        {.key = "text", .member = &C::caption_, .fallback = &NameDefault<C>},
        {"ualign", &C::alignment_, baLeft, baLeft, baRight},
        {.key = "font", .member = &C::font_, .fallback = &AmbientFontDefault<C>},
        {"bcolor", &C::backColor_, 0x8000000F},
        {"fcolor", &C::foreColor_, 0x80000012},
        {"mcolor", &C::maskColor_, 0xC0C0C0},
        {"umask", &C::useMask_, false},
        {"uasize", &C::autoSize_, false},
        {"ufocus", &C::focusRect_, true},
        {"uhover", &C::hoverFX_, true},
        {"uhoverbold", &C::hoverBold_, false},
        {"uhoverunder", &C::hoverUnderline_, true},
        {"uhovercolor", &C::hoverColor_, 0xC00000},
        {kEnabledKey, kEnabledFlag, true},
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

void VkCheckBox::InitNew(const QString& hostName) {
    caption_ = hostName;
    Redraw();
}

void VkCheckBox::Changed(const char* key) {
    if (loading_) {
        return;
    }
    emit PropertyChanged(QString::fromLatin1(key));
    shapeApplied_ = false;
    Redraw();
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
    Announce(&VkCheckBox::value_);
}

void VkCheckBox::SetStyle(int style) {
    if (!Properties().Find(&VkCheckBox::style_).Admits(style)) {
        return;
    }
    style_ = style;
    if (style_ == csYesNo && value_ == 0) {
        StoreValue(-1);
    } else if (style_ == csNormal && value_ == -1) {
        StoreValue(0);
    }
    Announce(&VkCheckBox::style_);
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

void VkCheckBox::SetCaption(const QString& caption) {
    StoreProperty(&VkCheckBox::caption_, caption);
}
void VkCheckBox::SetAlignment(int alignment) {
    SetProperty(&VkCheckBox::alignment_, alignment);
}
void VkCheckBox::SetFont(const QFont& font) {
    StoreProperty(&VkCheckBox::font_, font);
}
void VkCheckBox::SetBackColor(uint color) {
    StoreProperty(&VkCheckBox::backColor_, color);
}
void VkCheckBox::SetForeColor(uint color) {
    StoreProperty(&VkCheckBox::foreColor_, color);
}
void VkCheckBox::SetMaskColor(uint color) {
    StoreProperty(&VkCheckBox::maskColor_, color);
}
void VkCheckBox::SetUseMaskColor(bool use) {
    StoreProperty(&VkCheckBox::useMask_, use);
}
void VkCheckBox::SetAutoSize(bool autoSize) {
    StoreProperty(&VkCheckBox::autoSize_, autoSize);
}
void VkCheckBox::SetFocusRect(bool on) {
    StoreProperty(&VkCheckBox::focusRect_, on);
}
void VkCheckBox::SetHoverFX(bool on) {
    StoreProperty(&VkCheckBox::hoverFX_, on);
}
void VkCheckBox::SetHoverBold(bool on) {
    StoreProperty(&VkCheckBox::hoverBold_, on);
}
void VkCheckBox::SetHoverUnderline(bool on) {
    StoreProperty(&VkCheckBox::hoverUnderline_, on);
}
void VkCheckBox::SetHoverColor(uint color) {
    StoreProperty(&VkCheckBox::hoverColor_, color);
}
void VkCheckBox::SetEnabled(bool enabled) {
    setEnabled(enabled);
    Changed(kEnabledKey);
}
void VkCheckBox::SetxtrVar(const QVariant& value) {
    StoreProperty(&VkCheckBox::xtrVar_, value);
}
void VkCheckBox::SetExProp(const QString& exProp) {
    exProp_ = exProp;
    options_.Parse(exProp_);
    Announce(&VkCheckBox::exProp_);
}

QFont VkCheckBox::CaptionFont() const {
    QFont f = font_;
    if (Hovering()) {
        f.setBold(hoverBold_ || f.bold());
        f.setUnderline(hoverUnderline_ || f.underline());
    }
    return f;
}

QSize VkCheckBox::ContentSize() const {
    const QFontMetrics fm(CaptionFont());
    const int text = caption_.isEmpty() ? 0 : fm.horizontalAdvance(caption_) + 2 * kSpacing;
    return QSize(kImageSize + text + 2, qMax(kImageSize, fm.height()) + 2);
}

QSize VkCheckBox::sizeHint() const {
    return ContentSize().expandedTo(QSize(80, 17));
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
    QColor color = colorFuncs::ToQColor(Hovering() ? hoverColor_ : foreColor_);
    if (!isEnabled()) {
        color = colorFuncs::ToQColor(colorFuncs::kSysGrayText);
    }
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

void VkCheckBox::Redraw() {
    if (loading_) {
        return;
    }
    if (autoSize_ && size() != ContentSize()) {
        resize(ContentSize());
    }
    ApplyShape(useMask_, maskColor_);
    update();
}

void VkCheckBox::AnnounceHover(bool entered) {
    if (entered) {
        emit MouseIn();
    } else {
        emit MouseOut();
    }
}

void VkCheckBox::mouseMoveEvent(QMouseEvent* e) {
    if (hoverFX_) {
        OnHoverChange(tip_.PointerAt(*this, e->position().toPoint()));
    }
}

void VkCheckBox::leaveEvent(QEvent*) {
    OnHoverChange(tip_.Leave());
}

void VkCheckBox::mousePressEvent(QMouseEvent* e) {
    leftDown_ = e->button() == Qt::LeftButton;
    setFocus(Qt::MouseFocusReason);
}

void VkCheckBox::mouseReleaseEvent(QMouseEvent* e) {
    const bool click =
        leftDown_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    leftDown_ = false;
    if (click) {
        DoClick();
    }
}

void VkCheckBox::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        leftDown_ = true;  // the release that follows counts as a click as well
        emit DblClick();
    }
}

void VkCheckBox::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Space && e->modifiers() == Qt::NoModifier) {
        spaceDown_ = spaceDown_ || !e->isAutoRepeat();
        return;
    }
    QWidget::keyPressEvent(e);
}

void VkCheckBox::keyReleaseEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Space && !e->isAutoRepeat() && spaceDown_) {
        spaceDown_ = false;
        DoClick();
        return;
    }
    QWidget::keyReleaseEvent(e);
}

void VkCheckBox::focusInEvent(QFocusEvent*) {
    update();
}

void VkCheckBox::focusOutEvent(QFocusEvent*) {
    spaceDown_ = false;
    update();
}

void VkCheckBox::ReadProperties(const PropertyBag& bag) {
    loading_ = true;
    Properties().Read(*this, bag);
    value_ = Normalise(value_);
    announced_ = value_;
    options_.Parse(exProp_);
    loading_ = false;
    shapeApplied_ = false;
    Redraw();
}

void VkCheckBox::WriteProperties(PropertyBag& bag) const {
    Properties().Write(*this, bag);
}
