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

VkCheckBox::VkCheckBox(QWidget* parent) : OwnerDrawnWidget(parent) {
    CheckImages::Load();
    font_ = QWidget::font();
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
    Changed("value");
}

void VkCheckBox::SetStyle(int style) {
    if (style < csNormal || style > csTriState) {
        return;
    }
    style_ = style;
    if (style_ == csYesNo && value_ == 0) {
        StoreValue(-1);
    } else if (style_ == csNormal && value_ == -1) {
        StoreValue(0);
    }
    Changed("ustyle");
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
    caption_ = caption;
    Changed("text");
}
void VkCheckBox::SetAlignment(int alignment) {
    if (alignment != baLeft && alignment != baRight) {
        return;
    }
    alignment_ = alignment;
    Changed("ualign");
}
void VkCheckBox::SetFont(const QFont& font) {
    font_ = font;
    Changed("font");
}
void VkCheckBox::SetBackColor(uint color) {
    SetColorProperty(&backColor_, color, "bcolor");
}
void VkCheckBox::SetForeColor(uint color) {
    SetColorProperty(&foreColor_, color, "fcolor");
}
void VkCheckBox::SetMaskColor(uint color) {
    SetColorProperty(&maskColor_, color, "mcolor");
}
void VkCheckBox::SetUseMaskColor(bool use) {
    SetBoolProperty(&useMask_, use, "umask");
}
void VkCheckBox::SetAutoSize(bool autoSize) {
    SetBoolProperty(&autoSize_, autoSize, "uasize");
}
void VkCheckBox::SetFocusRect(bool on) {
    SetBoolProperty(&focusRect_, on, "ufocus");
}
void VkCheckBox::SetHoverFX(bool on) {
    SetBoolProperty(&hoverFX_, on, "uhover");
}
void VkCheckBox::SetHoverBold(bool on) {
    SetBoolProperty(&hoverBold_, on, "uhoverbold");
}
void VkCheckBox::SetHoverUnderline(bool on) {
    SetBoolProperty(&hoverUnderline_, on, "uhoverunder");
}
void VkCheckBox::SetHoverColor(uint color) {
    SetColorProperty(&hoverColor_, color, "uhovercolor");
}
void VkCheckBox::SetEnabled(bool enabled) {
    setEnabled(enabled);
    Changed("enabled");
}
void VkCheckBox::SetxtrVar(const QVariant& value) {
    xtrVar_ = value;
    Changed("xtrVar");
}
void VkCheckBox::SetExProp(const QString& exProp) {
    exProp_ = exProp;
    options_.Parse(exProp_);
    Changed("ExProp");
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
    style_ = bag.ReadRange("ustyle", csNormal, csNormal, csTriState);
    value_ = Normalise(bag.ReadRange("value", 0, -32768, 32767));
    announced_ = value_;
    caption_ = bag.ReadString("text", objectName());
    alignment_ = bag.ReadRange("ualign", baLeft, baLeft, baRight);
    font_ = bag.ReadFont("font", QWidget::font());
    backColor_ = bag.ReadColor("bcolor", 0x8000000F);
    foreColor_ = bag.ReadColor("fcolor", 0x80000012);
    maskColor_ = bag.ReadColor("mcolor", 0xC0C0C0);
    useMask_ = bag.ReadBool("umask", false);
    autoSize_ = bag.ReadBool("uasize", false);
    focusRect_ = bag.ReadBool("ufocus", true);
    hoverFX_ = bag.ReadBool("uhover", true);
    hoverBold_ = bag.ReadBool("uhoverbold", false);
    hoverUnderline_ = bag.ReadBool("uhoverunder", true);
    hoverColor_ = bag.ReadColor("uhovercolor", 0xC00000);
    setEnabled(bag.ReadBool("enabled", true));
    xtrVar_ = bag.ReadVariant("xtrVar", QVariant());
    exProp_ = bag.ReadString("ExProp", QString());
    options_.Parse(exProp_);
    loading_ = false;
    shapeApplied_ = false;
    Redraw();
}

void VkCheckBox::WriteProperties(PropertyBag& bag) const {
    bag.Write("value", value_);
    bag.Write("ustyle", style_);
    bag.Write("text", caption_);
    bag.Write("ualign", alignment_);
    bag.Write("font", font_.toString());
    bag.Write("bcolor", backColor_);
    bag.Write("fcolor", foreColor_);
    bag.Write("mcolor", maskColor_);
    bag.Write("umask", useMask_);
    bag.Write("uasize", autoSize_);
    bag.Write("ufocus", focusRect_);
    bag.Write("uhover", hoverFX_);
    bag.Write("uhoverbold", hoverBold_);
    bag.Write("uhoverunder", hoverUnderline_);
    bag.Write("uhovercolor", hoverColor_);
    bag.Write("enabled", isEnabled());
    bag.Write("xtrVar", xtrVar_);
    bag.Write("ExProp", exProp_);
}
