#include "button/VkButton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>

#include "button/AccessKey.h"
#include "controls/HandCursor.h"
#include "controls/MouseArgs.h"

using MouseArgs::ButtonOf;
using MouseArgs::ShiftOf;

namespace {

constexpr int kSizeMarginX = 8;  // added to the caption's extent for the minimum size
constexpr int kSizeMarginY = 6;

}  // namespace

VkButton::VkButton(QWidget* parent) : QWidget(parent) {
    font_ = QWidget::font();
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(sizeHint());
    InitNew(objectName());
}

VkButton::~VkButton() = default;

void VkButton::InitNew(const QString& hostName) {
    quiet_ = true;
    ApplyTheme(thmSilver3D);
    font_ = QWidget::font();
    caption_ = hostName.isEmpty() ? QString("Caption") : hostName;
    quiet_ = false;
    UpdateAccessKey();
    UpdateCursor();
    EnforceMinimumSize();
    UpdateShape();
    update();
}

// --- property writers -------------------------------------------------------------

void VkButton::Changed(const char* key) {
    if (!quiet_) {
        emit PropertyChanged(QString::fromLatin1(key));
    }
    fakeLook_ = QImage();
    EnforceMinimumSize();
    UpdateShape();
    update();
}

void VkButton::SetGradientStyle(int style) {
    SetEnumProperty(&gradientStyle_, style, gtGel, "gtype");
}
void VkButton::SetBorderAppearence(int a) {
    SetEnumProperty(&appearance_, a, ap3D, "appear");
}
void VkButton::SetBorderStyle(int style) {
    SetEnumProperty(&borderStyle_, style, bsFixedSingle, "bstyle");
}
void VkButton::SetCornerStyle(int style) {
    SetEnumProperty(&cornerStyle_, style, csRound, "crnstyle");
}
void VkButton::SetBorderColor(uint color) {
    SetColorProperty(&borderColor_, color, "brdcolor");
}
void VkButton::SetCaption(const QString& caption) {
    caption_ = caption;
    UpdateAccessKey();
    Changed("ptext");
}
void VkButton::SetFont(const QFont& font) {
    font_ = font;
    Changed("font");
}
void VkButton::SetAlignment(int a) {
    SetEnumProperty(&alignment_, a, aaBottomCenter, "calign");
}
void VkButton::SetEnabled(bool enabled) {
    setEnabled(enabled);
    if (!enabled) {
        pressed_ = false;
        spaceDown_ = false;
        tip_.Leave();
        tip_.DropTip();
    }
    Changed("enabled");
}
void VkButton::SetAutoSize(bool autoSize) {
    SetBoolProperty(&autoSize_, autoSize, "asize");
}
void VkButton::SetLightEffect(bool on) {
    SetBoolProperty(&lightEffect_, on, "plight");
}
void VkButton::SetBottomLine(bool on) {
    SetBoolProperty(&bottomLine_, on, "btline");
}
void VkButton::SetHandPointer(bool on) {
    handPointer_ = on;
    UpdateCursor();
    Changed("handCursor");
}
void VkButton::SetCutStyle(int style) {
    SetEnumProperty(&cutStyle_, style, posBoth, "cstyle");
}
void VkButton::SetCutStrength(int s) {
    SetEnumProperty(&cutStrength_, s, stHard, "cstrength");
}
void VkButton::SetColorA(uint color) {
    SetColorProperty(&colorA_, color, "c1");
}
void VkButton::SetColorB(uint color) {
    SetColorProperty(&colorB_, color, "c2");
}
void VkButton::SetOutline(int style) {
    SetEnumProperty(&outline_, style, olHoverShadow, "olstyle");
}
void VkButton::SetOutlineColor(uint color) {
    SetColorProperty(&outlineColor_, color, "olcolor");
}
void VkButton::SetForeColor(uint color) {
    SetColorProperty(&foreColor_, color, "fcolor");
}
void VkButton::SetHoverColorA(uint color) {
    SetColorProperty(&hoverColorA_, color, "htcolor");
}
void VkButton::SetHoverColorB(uint color) {
    SetColorProperty(&hoverColorB_, color, "hbcolor");
}
void VkButton::SetHoverForecolor(uint color) {
    SetColorProperty(&hoverForeColor_, color, "hfcolor");
}
void VkButton::SetHoverOutline(uint color) {
    SetColorProperty(&hoverOutline_, color, "holcolor");
}
void VkButton::SetIcon(const QPixmap& icon) {
    icon_ = icon;
    Changed("icpic");
}
void VkButton::SetIconAlignment(int a) {
    SetEnumProperty(&iconAlignment_, a, aaBottomCenter, "icalign");
}
void VkButton::SetIconAdjustX(int dx) {
    if (dx < -32768 || dx > 32767) {
        return;
    }
    iconAdjustX_ = dx;
    Changed("icx");
}
void VkButton::SetIconAdjustY(int dy) {
    if (dy < -32768 || dy > 32767) {
        return;
    }
    iconAdjustY_ = dy;
    Changed("icy");
}
void VkButton::SetxtrVar(const QVariant& value) {
    xtrVar_ = value;
    Changed("xtrVar");
}
void VkButton::SetDefault(bool isDefault) {
    default_ = isDefault;
    fakeLook_ = QImage();
    update();
}

void VkButton::SetExProp(const QString& exProp) {
    if (exProp.left(8).toLower() == "special=") {
        RunCommand(exProp.mid(8).trimmed().toLower());
        exProp_.clear();
        Changed("ExProp");
        return;
    }
    exProp_ = exProp;
    options_.Parse(exProp_);
    Changed("ExProp");
}

void VkButton::RunCommand(const QString& command) {
    if (command == "getimage") {
        retObj_ = Render();
    } else if (command == "fakeclick") {
        // Painted once as focused, hovered and pressed; the states themselves stay
        // as they were, so the look lasts until the next repaint.
        PaintState look;
        look.focused = true;
        look.hovering = true;
        look.pressed = true;
        pendingFake_ = Paint(look);
    }
}

// --- themes -------------------------------------------------------------------------

void VkButton::SetTheme(int theme) {
    if (theme < thmCUSTOM || theme > thmOfficeBar) {
        return;
    }
    theme_ = theme;
    if (theme == thmCUSTOM) {
        return;
    }
    const bool wasQuiet = quiet_;
    quiet_ = true;
    ApplyTheme(theme);
    quiet_ = wasQuiet;
    UpdateCursor();
    fakeLook_ = QImage();
    EnforceMinimumSize();
    UpdateShape();
    update();
}

void VkButton::ApplyTheme(int theme) {
    struct Row {
        uint colorA;
        int appearance;  // -1: unchanged
        int borderStyle;
        int outline;
        int alignment;  // -1: unchanged
        int iconAlignment;
        int cutStyle, cutStrength;
        bool light, bottom;
    };
    static const Row rows[] = {
        {0, -1, -1, -1, -1, -1, -1, -1, false, false},
        {0xBBAD9C, ap3D, bsFixedSingle, olRegular, aaMiddleCenter, aaMiddleLeft, posNeither, stSoft,
         false, false},
        {0xBBAD9C, -1, bsFixedSingle, olRegular, -1, aaMiddleLeft, posNeither, stSoft, false,
         false},
        {0xFFFFFF, ap3D, bsFixedSingle, olRegular, aaMiddleCenter, -1, posNeither, stSoft, false,
         false},
        {0x0000E0, apFlat, bsFixedSingle, olRegular, aaMiddleCenter, -1, posNeither, stSoft, true,
         true},
        {0xFFFFFF, apFlat, bsNone, olNone, aaMiddleCenter, -1, posLeft, stHard, false, false},
    };
    if (theme <= thmCUSTOM || theme > thmOfficeBar) {
        return;
    }
    const Row& r = rows[theme];
    colorA_ = r.colorA;
    appearance_ = r.appearance >= 0 ? r.appearance : appearance_;
    borderStyle_ = r.borderStyle;
    outline_ = r.outline;
    alignment_ = r.alignment >= 0 ? r.alignment : alignment_;
    iconAlignment_ = r.iconAlignment >= 0 ? r.iconAlignment : iconAlignment_;
    cutStyle_ = r.cutStyle;
    cutStrength_ = r.cutStrength;
    lightEffect_ = r.light;
    bottomLine_ = r.bottom;
    iconAdjustX_ = 0;
    iconAdjustY_ = 0;
    autoSize_ = false;
    handPointer_ = false;
    theme_ = theme;
}

// --- caption, size, shape, pointer ------------------------------------------------

QString VkButton::PrintedCaption() const {
    return AccessKey::Parse(caption_).text;
}
int VkButton::AccessKeyIndex() const {
    return AccessKey::Parse(caption_).index;
}
QChar VkButton::AccessKey() const {
    return AccessKey::Parse(caption_).key;
}

void VkButton::UpdateAccessKey() {
    if (shortcutId_ != 0) {
        releaseShortcut(shortcutId_);
        shortcutId_ = 0;
    }
    const QChar key = AccessKey();
    if (!key.isNull()) {
        shortcutId_ = grabShortcut(QKeySequence::mnemonic(QString("&") + key));
    }
}

void VkButton::UpdateCursor() {
    if (handPointer_) {
        setCursor(HandCursor::Get());
    } else {
        unsetCursor();
    }
}

QSize VkButton::TextExtent() const {
    const QString text = PrintedCaption();
    if (text.isEmpty()) {
        return QSize(2, 2);
    }
    const QFontMetrics fm(font_);
    const QRect r = fm.boundingRect(QRect(0, 0, 100000, 100000), Qt::AlignLeft, text);
    return QSize(r.width() + kSizeMarginX, r.height() + kSizeMarginY);
}

QSize VkButton::minimumSizeHint() const {
    return TextExtent();
}

QSize VkButton::sizeHint() const {
    return TextExtent().expandedTo(QSize(75, 25));
}

void VkButton::EnforceMinimumSize() {
    const QSize min = TextExtent();
    setMinimumSize(min);
    if (autoSize_) {
        resize(min);
    } else if (width() < min.width() || height() < min.height()) {
        resize(size().expandedTo(min));
    }
}

void VkButton::UpdateShape() {
    if (cornerStyle_ != csRound || width() < 6 || height() < 6) {
        clearMask();
        return;
    }
    // Rounded rectangle: the two outermost pixels of each corner's diagonal are cut.
    const int w = width();
    const int h = height();
    QRegion r(0, 0, w, h);
    const QRect corners[] = {QRect(0, 0, 2, 1),         QRect(0, 1, 1, 1),
                             QRect(w - 2, 0, 2, 1),     QRect(w - 1, 1, 1, 1),
                             QRect(0, h - 1, 2, 1),     QRect(0, h - 2, 1, 1),
                             QRect(w - 2, h - 1, 2, 1), QRect(w - 1, h - 2, 1, 1)};
    for (const QRect& c : corners) {
        r -= c;
    }
    setMask(r);
}

// --- events -------------------------------------------------------------------------

VkButton::PaintState VkButton::Current() const {
    PaintState s;
    s.hovering = tip_.Hovering();
    s.pressed = pressed_;
    s.focused = focused_;
    return s;
}

QImage VkButton::Render() const {
    return Paint(Current());
}

void VkButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!pendingFake_.isNull()) {
        fakeLook_ = pendingFake_;
        pendingFake_ = QImage();
    }
    p.drawImage(0, 0, fakeLook_.isNull() ? Render() : fakeLook_);
}

void VkButton::Repaint() {
    fakeLook_ = QImage();
    update();
}

void VkButton::resizeEvent(QResizeEvent*) {
    EnforceMinimumSize();
    UpdateShape();
    // The toolkit may resend the current size (rendering an unshown widget); only a
    // real size change ends a pressed look left by a fake click.
    if (size() != paintedSize_) {
        paintedSize_ = size();
        Repaint();
    }
}

bool VkButton::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        return true;  // our own tooltip replaces the toolkit's
    }
    if (e->type() == QEvent::Shortcut) {
        auto* se = static_cast<QShortcutEvent*>(e);
        if (se->shortcutId() == shortcutId_ && isEnabled()) {
            emit Click();
        }
        return true;
    }
    return QWidget::event(e);
}

void VkButton::OnHoverChange(int change) {
    if (change == TooltipHost::kEntered) {
        emit MouseIn();
        Repaint();
        tip_.ShowTip(this, toolTip(), options_);
    } else if (change == TooltipHost::kLeft) {
        tip_.DropTip();
        emit MouseOut();
        Repaint();
    }
}

void VkButton::mouseMoveEvent(QMouseEvent* e) {
    OnHoverChange(tip_.PointerAt(*this, e->position().toPoint()));
}

void VkButton::leaveEvent(QEvent*) {
    OnHoverChange(tip_.Leave());
}

void VkButton::mousePressEvent(QMouseEvent* e) {
    focused_ = true;
    setFocus(Qt::MouseFocusReason);
    emit MouseDown(ButtonOf(e->button()), ShiftOf(e->modifiers()), e->position().x(),
                   e->position().y());
    if (e->button() == Qt::LeftButton && borderStyle_ == bsFixedSingle && appearance_ == ap3D) {
        pressed_ = true;
    }
    leftDown_ = e->button() == Qt::LeftButton;
    Repaint();
}

void VkButton::mouseReleaseEvent(QMouseEvent* e) {
    emit MouseUp(ButtonOf(e->button()), ShiftOf(e->modifiers()), e->position().x(),
                 e->position().y());
    pressed_ = false;
    tip_.Leave();
    Repaint();
    const bool click =
        leftDown_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    leftDown_ = false;
    if (click && isEnabled()) {
        emit Click();
    }
}

void VkButton::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        leftDown_ = true;
        emit DblClick();
    }
}

void VkButton::keyPressEvent(QKeyEvent* e) {
    if (e->key() != Qt::Key_Space || e->modifiers() != Qt::NoModifier) {
        QWidget::keyPressEvent(e);
        return;
    }
    if (!e->isAutoRepeat()) {
        spaceDown_ = true;
        if (borderStyle_ == bsFixedSingle) {
            pressed_ = true;
            Repaint();
        }
    }
}

void VkButton::keyReleaseEvent(QKeyEvent* e) {
    if (e->key() != Qt::Key_Space || e->isAutoRepeat() || !spaceDown_) {
        QWidget::keyReleaseEvent(e);
        return;
    }
    spaceDown_ = false;
    if (borderStyle_ == bsFixedSingle) {
        pressed_ = false;
    }
    Repaint();
    emit Click();
}

void VkButton::focusInEvent(QFocusEvent*) {
    focused_ = true;
    Repaint();
}

void VkButton::focusOutEvent(QFocusEvent*) {
    focused_ = false;
    tip_.Leave();
    pressed_ = false;
    spaceDown_ = false;
    Repaint();
}

// --- saved forms --------------------------------------------------------------------

void VkButton::ReadProperties(const PropertyBag& bag) {
    quiet_ = true;
    colorA_ = bag.ReadColor("c1", 0xBBAD9C);
    colorB_ = bag.ReadColor("c2", 0xFFFFFF);
    hoverColorA_ = bag.ReadColor("htcolor", 0xBBAD9C);
    hoverColorB_ = bag.ReadColor("hbcolor", 0xFFFFFF);
    foreColor_ = bag.ReadColor("fcolor", 0);
    hoverForeColor_ = bag.ReadColor("hfcolor", 0);
    outlineColor_ = bag.ReadColor("olcolor", 0xFFFFFF);
    hoverOutline_ = bag.ReadColor("holcolor", 0xFFFFFF);
    borderColor_ = bag.ReadColor("brdcolor", 0x424242);
    caption_ = bag.ReadString("ptext", objectName().isEmpty() ? QString("Caption") : objectName());
    cutStrength_ = bag.ReadRange("cstrength", stSoft, stSoft, stHard);
    cutStyle_ = bag.ReadRange("cstyle", posNeither, posNeither, posBoth);
    lightEffect_ = bag.ReadBool("plight", true);
    bottomLine_ = bag.ReadBool("btline", false);
    cornerStyle_ = bag.ReadRange("crnstyle", csSquare, csSquare, csRound);
    alignment_ = bag.ReadRange("calign", aaMiddleCenter, aaTopLeft, aaBottomCenter);
    autoSize_ = bag.ReadBool("asize", false);
    font_ = bag.ReadFont("font", QWidget::font());
    outline_ = bag.ReadRange("olstyle", olRegular, olNone, olHoverShadow);
    handPointer_ = bag.ReadBool("handCursor", false);
    const QVariant pic = bag.Read("icpic");
    icon_ = pic.canConvert<QPixmap>() ? pic.value<QPixmap>() : QPixmap();
    iconAlignment_ = bag.ReadRange("icalign", aaMiddleLeft, aaTopLeft, aaBottomCenter);
    iconAdjustX_ = bag.ReadRange("icx", 0, -32768, 32767);
    iconAdjustY_ = bag.ReadRange("icy", 0, -32768, 32767);
    appearance_ = bag.ReadRange("appear", ap3D, apFlat, ap3D);
    borderStyle_ = bag.ReadRange("bstyle", bsFixedSingle, bsNone, bsFixedSingle);
    setEnabled(bag.ReadBool("enabled", true));
    gradientStyle_ = bag.ReadRange("gtype", gtPlain, gtPlain, gtGel);
    xtrVar_ = bag.ReadVariant("xtrVar", QVariant());
    exProp_ = bag.ReadString("ExProp", QString());
    if (exProp_.left(8).toLower() == "special=") {
        exProp_.clear();  // commands are not kept
    }
    options_.Parse(exProp_);
    theme_ = thmCUSTOM;
    UpdateAccessKey();
    UpdateCursor();
    quiet_ = false;
    fakeLook_ = QImage();
    EnforceMinimumSize();
    UpdateShape();
    update();
}

void VkButton::WriteProperties(PropertyBag& bag) const {
    bag.Write("c1", colorA_);
    bag.Write("c2", colorB_);
    bag.Write("htcolor", hoverColorA_);
    bag.Write("hbcolor", hoverColorB_);
    bag.Write("fcolor", foreColor_);
    bag.Write("hfcolor", hoverForeColor_);
    bag.Write("olcolor", outlineColor_);
    bag.Write("holcolor", hoverOutline_);
    bag.Write("brdcolor", borderColor_);
    bag.Write("ptext", caption_);
    bag.Write("cstrength", cutStrength_);
    bag.Write("cstyle", cutStyle_);
    bag.Write("plight", lightEffect_);
    bag.Write("btline", bottomLine_);
    bag.Write("crnstyle", cornerStyle_);
    bag.Write("calign", alignment_);
    bag.Write("asize", autoSize_);
    bag.Write("font", font_.toString());
    bag.Write("olstyle", outline_);
    bag.Write("handCursor", handPointer_);
    bag.Write("icpic", icon_.isNull() ? QVariant() : QVariant(icon_));
    bag.Write("icalign", iconAlignment_);
    bag.Write("icx", iconAdjustX_);
    bag.Write("icy", iconAdjustY_);
    bag.Write("appear", appearance_);
    bag.Write("bstyle", borderStyle_);
    bag.Write("enabled", isEnabled());
    bag.Write("gtype", gradientStyle_);
    bag.Write("xtrVar", xtrVar_);
    bag.Write("ExProp", exProp_);
}
