#include "controls/VkHyperLink.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>

#include "controls/HandCursor.h"
#include "controls/colorFuncs.h"

const PropertyTable<VkHyperLink>& VkHyperLink::Properties() {
    using C = VkHyperLink;
    static const PropertyTable<C> table{
        {.key = "prop.pCaption", .member = &C::caption_, .fallback = &NameDefault<C>},
        {"prop.pAlignment", &C::alignment_, alLeft, alLeft, alCenter},
        {.key = "prop.pFont", .member = &C::font_, .fallback = &AmbientFontDefault<C>},
        {.key = "prop.pMOverFont", .member = &C::overFont_, .fallback = &AmbientFontDefault<C>},
        {"prop.pBackColor", &C::backColor_, 0x8000000F},
        {"prop.pForeColor", &C::foreColor_, 0xFF0000},
        {"prop.pMOverColor", &C::overColor_, 0xFF0000},
        {"prop.pMaskColor", &C::maskColor_, 0xC0C0C0},
        {"prop.pUseMask", &C::useMask_, true},
        {"prop.pAutoSize", &C::autoSize_, false},
        {"prop.pURL", &C::url_, QString("about:blank")},
        {"prop.pXtrVar", &C::xtrVar_, true},
        {"ExProp", &C::exProp_, QString()},
    };
    return table;
}

VkHyperLink::VkHyperLink(QWidget* parent) : OwnerDrawnWidget(parent) {
    Properties().ApplyDefaults(*this);
    setMouseTracking(true);
    setCursor(HandCursor::Get());
    opener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    resize(sizeHint());
}

VkHyperLink::~VkHyperLink() = default;

void VkHyperLink::InitNew(const QString& hostName) {
    caption_ = hostName;
    Redraw();
}

void VkHyperLink::Changed(const char* key) {
    if (loading_) {
        return;
    }
    emit PropertyChanged(QString::fromLatin1(key));
    shapeApplied_ = false;  // a new look needs a new shape
    Redraw();
}

void VkHyperLink::SetCaption(const QString& caption) {
    StoreProperty(&VkHyperLink::caption_, caption);
}
void VkHyperLink::SetAlignment(int alignment) {
    SetProperty(&VkHyperLink::alignment_, alignment);
}
void VkHyperLink::SetFont(const QFont& font) {
    StoreProperty(&VkHyperLink::font_, font);
}
void VkHyperLink::SetMouseOverFont(const QFont& font) {
    StoreProperty(&VkHyperLink::overFont_, font);
}
void VkHyperLink::SetBackColor(uint color) {
    StoreProperty(&VkHyperLink::backColor_, color);
}
void VkHyperLink::SetForeColor(uint color) {
    StoreProperty(&VkHyperLink::foreColor_, color);
}
void VkHyperLink::SetMouseOverColor(uint color) {
    StoreProperty(&VkHyperLink::overColor_, color);
}
void VkHyperLink::SetMaskColor(uint color) {
    StoreProperty(&VkHyperLink::maskColor_, color);
}
void VkHyperLink::SetUseMaskColor(bool use) {
    StoreProperty(&VkHyperLink::useMask_, use);
}
void VkHyperLink::SetAutoSize(bool autoSize) {
    StoreProperty(&VkHyperLink::autoSize_, autoSize);
}
void VkHyperLink::SetURL(const QString& url) {
    StoreProperty(&VkHyperLink::url_, url);
}
void VkHyperLink::SetxtrVar(const QVariant& value) {
    StoreProperty(&VkHyperLink::xtrVar_, value);
}
void VkHyperLink::SetExProp(const QString& exProp) {
    exProp_ = exProp;
    options_.Parse(exProp_);
    Announce(&VkHyperLink::exProp_);
}
void VkHyperLink::SetEnabled(bool enabled) {
    setEnabled(enabled);
    Changed("Enabled");
}

void VkHyperLink::SetUrlOpener(std::function<bool(const QUrl&)> opener) {
    opener_ = std::move(opener);
}

QStringList VkHyperLink::LayoutLines(const QFontMetrics& fm, int width) const {
    const QStringList words = caption_.trimmed().split(' ', Qt::SkipEmptyParts);
    QStringList lines;
    QString current;
    for (const QString& word : words) {
        if (current.isEmpty()) {
            current = word;
            continue;
        }
        const QString candidate = current + ' ' + word;
        if (fm.horizontalAdvance(candidate) <= width) {
            current = candidate;
        } else {
            lines.append(current);
            current = word;
        }
    }
    if (!current.isEmpty()) {
        lines.append(current);
    }
    return lines;
}

QSize VkHyperLink::CaptionSize() const {
    const QFontMetrics fm(Hovering() ? overFont_ : font_);
    return QSize(fm.horizontalAdvance(caption_.trimmed()) + 2, fm.height());
}

QSize VkHyperLink::sizeHint() const {
    const QSize caption = CaptionSize();
    return QSize(qMax(caption.width(), 60), qMax(caption.height(), 16));
}

QImage VkHyperLink::Render() const {
    QImage image(qMax(1, width()), qMax(1, height()), QImage::Format_RGB32);
    image.fill(colorFuncs::ToQColor(backColor_));
    QPainter p(&image);
    const bool hover = Hovering();
    p.setFont(hover ? overFont_ : font_);
    QColor color = colorFuncs::ToQColor(hover ? overColor_ : foreColor_);
    if (!isEnabled()) {
        color = colorFuncs::ToQColor(colorFuncs::kSysGrayText);
    }
    p.setPen(color);
    const QFontMetrics fm(p.font());
    const QStringList lines = LayoutLines(fm, width());
    int y = 0;
    for (const QString& line : lines) {
        const int w = fm.horizontalAdvance(line);
        int x = 0;
        if (alignment_ == alRight) {
            x = width() - w;
        } else if (alignment_ == alCenter) {
            x = (width() - w) / 2;
        }
        p.drawText(x, y + fm.ascent(), line);
        y += fm.height();
    }
    return image;
}

QImage VkHyperLink::Image() {
    return Render();
}

void VkHyperLink::Redraw() {
    if (loading_) {
        return;
    }
    if (autoSize_) {
        const QSize size = CaptionSize();
        if (size != this->size()) {
            resize(size);
        }
    }
    ApplyShape(useMask_, maskColor_);
    update();
}

void VkHyperLink::AnnounceHover(bool entered) {
    if (entered) {
        emit MouseIn();
    } else {
        emit MouseOut();
    }
}

void VkHyperLink::mouseMoveEvent(QMouseEvent* e) {
    OnHoverChange(tip_.PointerAt(*this, e->position().toPoint()));
}

void VkHyperLink::leaveEvent(QEvent*) {
    OnHoverChange(tip_.Leave());
}

void VkHyperLink::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !rect().contains(e->position().toPoint())) {
        return;
    }
    const QString url = url_.trimmed();
    if (!url.isEmpty() && opener_) {
        opener_(QUrl(url));  // a shell failure is ignored
    }
    emit Click();
}

void VkHyperLink::mouseDoubleClickEvent(QMouseEvent*) {
    emit DblClick();
}

void VkHyperLink::ReadProperties(const PropertyBag& bag) {
    loading_ = true;
    Properties().Read(*this, bag);
    options_.Parse(exProp_);
    loading_ = false;
    shapeApplied_ = false;
    Redraw();
}

void VkHyperLink::WriteProperties(PropertyBag& bag) const {
    Properties().Write(*this, bag);
}
