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
        {"prop.pBackColor", &C::backColor_, colorFuncs::kSysButtonFace},
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

const PropertyRows& VkHyperLink::Rows() const {
    return Properties();
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

QSize VkHyperLink::FittedSize() const {
    const QFontMetrics fm(Hovering() ? overFont_ : font_);
    return QSize(fm.horizontalAdvance(caption_.trimmed()) + 2, fm.height());
}

QSize VkHyperLink::sizeHint() const {
    const QSize caption = FittedSize();
    return QSize(qMax(caption.width(), 60), qMax(caption.height(), 16));
}

QImage VkHyperLink::Render() const {
    QImage image(qMax(1, width()), qMax(1, height()), QImage::Format_RGB32);
    image.fill(colorFuncs::ToQColor(backColor_));
    QPainter p(&image);
    const bool hover = Hovering();
    p.setFont(hover ? overFont_ : font_);
    p.setPen(CaptionColor(hover ? overColor_ : foreColor_));
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
