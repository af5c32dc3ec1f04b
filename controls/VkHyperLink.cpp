#include "controls/VkHyperLink.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>

#include "controls/HandCursor.h"
#include "controls/colorFuncs.h"

VkHyperLink::VkHyperLink(QWidget* parent) : OwnerDrawnWidget(parent) {
    font_ = QWidget::font();
    overFont_ = QWidget::font();
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
    caption_ = caption;
    Changed("prop.pCaption");
}
void VkHyperLink::SetAlignment(int alignment) {
    if (alignment < alLeft || alignment > alCenter) {
        return;
    }
    alignment_ = alignment;
    Changed("prop.pAlignment");
}
void VkHyperLink::SetFont(const QFont& font) {
    font_ = font;
    Changed("prop.pFont");
}
void VkHyperLink::SetMouseOverFont(const QFont& font) {
    overFont_ = font;
    Changed("prop.pMOverFont");
}
void VkHyperLink::SetBackColor(uint color) {
    SetColorProperty(&backColor_, color, "prop.pBackColor");
}
void VkHyperLink::SetForeColor(uint color) {
    SetColorProperty(&foreColor_, color, "prop.pForeColor");
}
void VkHyperLink::SetMouseOverColor(uint color) {
    SetColorProperty(&overColor_, color, "prop.pMOverColor");
}
void VkHyperLink::SetMaskColor(uint color) {
    SetColorProperty(&maskColor_, color, "prop.pMaskColor");
}
void VkHyperLink::SetUseMaskColor(bool use) {
    useMask_ = use;
    Changed("prop.pUseMask");
}
void VkHyperLink::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    Changed("prop.pAutoSize");
}
void VkHyperLink::SetURL(const QString& url) {
    url_ = url;
    Changed("prop.pURL");
}
void VkHyperLink::SetxtrVar(const QVariant& value) {
    xtrVar_ = value;
    Changed("prop.pXtrVar");
}
void VkHyperLink::SetExProp(const QString& exProp) {
    exProp_ = exProp;
    options_.Parse(exProp_);
    Changed("ExProp");
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
    const QFont ambient = QWidget::font();
    caption_ = bag.ReadString("prop.pCaption", objectName());
    alignment_ = bag.ReadRange("prop.pAlignment", alLeft, alLeft, alCenter);
    font_ = bag.ReadFont("prop.pFont", ambient);
    overFont_ = bag.ReadFont("prop.pMOverFont", ambient);
    backColor_ = bag.ReadColor("prop.pBackColor", 0x8000000F);
    foreColor_ = bag.ReadColor("prop.pForeColor", 0xFF0000);
    overColor_ = bag.ReadColor("prop.pMOverColor", 0xFF0000);
    maskColor_ = bag.ReadColor("prop.pMaskColor", 0xC0C0C0);
    useMask_ = bag.ReadBool("prop.pUseMask", true);
    autoSize_ = bag.ReadBool("prop.pAutoSize", false);
    url_ = bag.ReadString("prop.pURL", "about:blank");
    xtrVar_ = bag.ReadVariant("prop.pXtrVar", true);
    exProp_ = bag.ReadString("ExProp", QString());
    options_.Parse(exProp_);
    loading_ = false;
    shapeApplied_ = false;
    Redraw();
}

void VkHyperLink::WriteProperties(PropertyBag& bag) const {
    bag.Write("prop.pCaption", caption_);
    bag.Write("prop.pAlignment", alignment_);
    bag.Write("prop.pFont", font_.toString());
    bag.Write("prop.pMOverFont", overFont_.toString());
    bag.Write("prop.pBackColor", backColor_);
    bag.Write("prop.pForeColor", foreColor_);
    bag.Write("prop.pMOverColor", overColor_);
    bag.Write("prop.pMaskColor", maskColor_);
    bag.Write("prop.pUseMask", useMask_);
    bag.Write("prop.pAutoSize", autoSize_);
    bag.Write("prop.pURL", url_);
    bag.Write("prop.pXtrVar", xtrVar_);
    bag.Write("ExProp", exProp_);
}
