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

// ExProp text of the form "special=<command>" runs a command instead of being kept.
bool IsCommand(const QString& exProp) {
    return exProp.left(8).toLower() == "special=";
}

QVariant CaptionDefault(const VkButton& b) {
    return b.objectName().isEmpty() ? QString("Caption") : b.objectName();
}

}  // namespace

const PropertyTable<VkButton>& VkButton::Properties() {
    using C = VkButton;
    static const PropertyTable<C> table{
        {"c1", &C::colorA_, 0xBBAD9C},
        {"c2", &C::colorB_, 0xFFFFFF},
        {"htcolor", &C::hoverColorA_, 0xBBAD9C},
        {"hbcolor", &C::hoverColorB_, 0xFFFFFF},
        {"fcolor", &C::foreColor_, 0},
        {"hfcolor", &C::hoverForeColor_, 0},
        {"olcolor", &C::outlineColor_, 0xFFFFFF},
        {"holcolor", &C::hoverOutline_, 0xFFFFFF},
        {"brdcolor", &C::borderColor_, 0x424242},
        {.key = "ptext", .member = &C::caption_, .fallback = &CaptionDefault},
        {"cstrength", &C::cutStrength_, stSoft, stSoft, stHard},
        {"cstyle", &C::cutStyle_, posNeither, posNeither, posBoth},
        {"plight", &C::lightEffect_, true},
        {"btline", &C::bottomLine_, false},
        {"crnstyle", &C::cornerStyle_, csSquare, csSquare, csRound},
        {"calign", &C::alignment_, aaMiddleCenter, aaTopLeft, aaBottomCenter},
        {"asize", &C::autoSize_, false},
        {.key = "font", .member = &C::font_, .fallback = &AmbientFontDefault<C>},
        {"olstyle", &C::outline_, olRegular, olNone, olHoverShadow},
        {"handCursor", &C::handPointer_, false},
        {"icpic", &C::icon_, QVariant()},
        {"icalign", &C::iconAlignment_, aaMiddleLeft, aaTopLeft, aaBottomCenter},
        {"icx", &C::iconAdjustX_, 0, -32768, 32767},
        {"icy", &C::iconAdjustY_, 0, -32768, 32767},
        {"appear", &C::appearance_, ap3D, apFlat, ap3D},
        {"bstyle", &C::borderStyle_, bsFixedSingle, bsNone, bsFixedSingle},
        {"enabled", kEnabledFlag, true},
        {"gtype", &C::gradientStyle_, gtPlain, gtPlain, gtGel},
        {"xtrVar", &C::xtrVar_, QVariant()},
        {"ExProp", &C::exProp_, QString()},
    };
    return table;
}

VkButton::VkButton(QWidget* parent) : VkHoverControl(parent) {
    Properties().ApplyDefaults(*this);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(sizeHint());
    InitNew(objectName());
}

VkButton::~VkButton() = default;

const PropertyRows& VkButton::Rows() const {
    return Properties();
}

void VkButton::InitNew(const QString& hostName) {
    ApplyTheme(thmSilver3D);
    font_ = QWidget::font();
    caption_ = hostName.isEmpty() ? QString("Caption") : hostName;
    UpdateAccessKey();
    UpdateCursor();
    EnforceMinimumSize();
    UpdateShape();
    update();
}

// --- property writers -------------------------------------------------------------

void VkButton::Refresh() {
    fakeLook_ = QImage();
    EnforceMinimumSize();
    UpdateShape();
    update();
}

void VkButton::SetGradientStyle(int style) {
    SetField(gradientStyle_, style);
}
void VkButton::SetBorderAppearence(int a) {
    SetField(appearance_, a);
}
void VkButton::SetBorderStyle(int style) {
    SetField(borderStyle_, style);
}
void VkButton::SetCornerStyle(int style) {
    SetField(cornerStyle_, style);
}
void VkButton::SetBorderColor(uint color) {
    StoreField(borderColor_, color);
}
void VkButton::SetCaption(const QString& caption) {
    caption_ = caption;
    UpdateAccessKey();
    Announce(&caption_);
}
void VkButton::SetFont(const QFont& font) {
    StoreField(font_, font);
}
void VkButton::SetAlignment(int a) {
    SetField(alignment_, a);
}
void VkButton::SetAutoSize(bool autoSize) {
    StoreField(autoSize_, autoSize);
}
void VkButton::SetLightEffect(bool on) {
    StoreField(lightEffect_, on);
}
void VkButton::SetBottomLine(bool on) {
    StoreField(bottomLine_, on);
}
void VkButton::SetHandPointer(bool on) {
    handPointer_ = on;
    UpdateCursor();
    Announce(&handPointer_);
}
void VkButton::SetCutStyle(int style) {
    SetField(cutStyle_, style);
}
void VkButton::SetCutStrength(int s) {
    SetField(cutStrength_, s);
}
void VkButton::SetColorA(uint color) {
    StoreField(colorA_, color);
}
void VkButton::SetColorB(uint color) {
    StoreField(colorB_, color);
}
void VkButton::SetOutline(int style) {
    SetField(outline_, style);
}
void VkButton::SetOutlineColor(uint color) {
    StoreField(outlineColor_, color);
}
void VkButton::SetForeColor(uint color) {
    StoreField(foreColor_, color);
}
void VkButton::SetHoverColorA(uint color) {
    StoreField(hoverColorA_, color);
}
void VkButton::SetHoverColorB(uint color) {
    StoreField(hoverColorB_, color);
}
void VkButton::SetHoverForecolor(uint color) {
    StoreField(hoverForeColor_, color);
}
void VkButton::SetHoverOutline(uint color) {
    StoreField(hoverOutline_, color);
}
void VkButton::SetIcon(const QPixmap& icon) {
    StoreField(icon_, icon);
}
void VkButton::SetIconAlignment(int a) {
    SetField(iconAlignment_, a);
}
void VkButton::SetIconAdjustX(int dx) {
    SetField(iconAdjustX_, dx);
}
void VkButton::SetIconAdjustY(int dy) {
    SetField(iconAdjustY_, dy);
}
void VkButton::SetDefault(bool isDefault) {
    default_ = isDefault;
    fakeLook_ = QImage();
    update();
}

void VkButton::SetExProp(const QString& exProp) {
    if (IsCommand(exProp)) {
        RunCommand(exProp.mid(8).trimmed().toLower());
        exProp_.clear();
        Announce(&exProp_);
        return;
    }
    exProp_ = exProp;
    options_.Parse(exProp_);
    Announce(&exProp_);
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
    ApplyTheme(theme);
    UpdateCursor();
    Refresh();
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
    if (e->type() == QEvent::Shortcut) {
        auto* se = static_cast<QShortcutEvent*>(e);
        if (se->shortcutId() == shortcutId_ && isEnabled()) {
            emit Click();
        }
        return true;
    }
    return VkHoverControl::event(e);
}

// A disabled button is neither pressed nor hovered.
void VkButton::changeEvent(QEvent* e) {
    if (e->type() == QEvent::EnabledChange && !isEnabled()) {
        pressed_ = false;
        click_.Cancel();
        tip_.Leave();
        tip_.DropTip();
    }
    QWidget::changeEvent(e);
}

void VkButton::mousePressEvent(QMouseEvent* e) {
    focused_ = true;
    setFocus(Qt::MouseFocusReason);
    emit MouseDown(ButtonOf(e->button()), ShiftOf(e->modifiers()), e->position().x(),
                   e->position().y());
    if (e->button() == Qt::LeftButton && borderStyle_ == bsFixedSingle && appearance_ == ap3D) {
        pressed_ = true;
    }
    click_.MousePressed(*e);
    Repaint();
}

void VkButton::mouseReleaseEvent(QMouseEvent* e) {
    emit MouseUp(ButtonOf(e->button()), ShiftOf(e->modifiers()), e->position().x(),
                 e->position().y());
    pressed_ = false;
    tip_.Leave();
    Repaint();
    if (click_.MouseReleased(*e, *this) && isEnabled()) {
        emit Click();
    }
}

void VkButton::mouseDoubleClickEvent(QMouseEvent* e) {
    if (click_.DoubleClicked(*e)) {
        emit DblClick();
    }
}

void VkButton::keyPressEvent(QKeyEvent* e) {
    if (!ClickGesture::IsClickKey(*e)) {
        QWidget::keyPressEvent(e);
        return;
    }
    if (click_.KeyPressed(*e) && borderStyle_ == bsFixedSingle) {
        pressed_ = true;
        Repaint();
    }
}

void VkButton::keyReleaseEvent(QKeyEvent* e) {
    if (!click_.KeyReleased(*e)) {
        QWidget::keyReleaseEvent(e);
        return;
    }
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
    click_.Cancel();
    Repaint();
}

// --- saved forms --------------------------------------------------------------------

void VkButton::AfterReading() {
    if (IsCommand(exProp_)) {
        exProp_.clear();  // commands are not kept
    }
    options_.Parse(exProp_);
    theme_ = thmCUSTOM;
    UpdateAccessKey();
    UpdateCursor();
}
