#include "controls/TooltipWindow.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include "controls/colorFuncs.h"

namespace {

constexpr int kMargin = 5;
constexpr int kIconSize = 16;
constexpr int kStem = 10;  // height of the balloon's pointer
constexpr int kRadius = 7;
constexpr int kShowDelayMs = 400;

void PaintIcon(QPainter& p, const QRect& r, int icon) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(r.height() - 4);
    p.setFont(f);
    if (icon == 2) {
        QPolygon tri;
        tri << QPoint(r.center().x(), r.top()) << r.bottomRight() << r.bottomLeft();
        p.setPen(QColor(120, 90, 0));
        p.setBrush(QColor(255, 200, 0));
        p.drawPolygon(tri);
        p.setPen(Qt::black);
        p.drawText(r.adjusted(0, 3, 0, 0), Qt::AlignCenter, "!");
    } else {
        const bool error = icon == 3;
        p.setPen(error ? QColor(130, 0, 0) : QColor(0, 60, 150));
        p.setBrush(error ? QColor(220, 30, 30) : QColor(40, 110, 220));
        p.drawEllipse(r.adjusted(0, 0, -1, -1));
        p.setPen(Qt::white);
        p.drawText(r, Qt::AlignCenter, error ? "x" : "i");
    }
    p.restore();
}

}  // namespace

TooltipWindow::TooltipWindow(QWidget* control)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      control_(control) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    showTimer_.setSingleShot(true);
    showTimer_.setInterval(kShowDelayMs);
    connect(&showTimer_, &QTimer::timeout, this, [this] { Popup(lastPointer_); });
    if (control_ != nullptr) {
        control_->installEventFilter(this);
        setFont(control_->font());
    }
}

TooltipWindow::~TooltipWindow() {
    if (control_ != nullptr) {
        control_->removeEventFilter(this);
    }
}

void TooltipWindow::SetContent(const QString& text, const TooltipOptions& options) {
    text_ = text;
    options_ = options;
    resize(sizeHint());
    UpdateShape();
    update();
}

QString TooltipWindow::ShownText() const {
    if (options_.MultiLine) {
        return text_;
    }
    QString flat = text_;
    flat.replace("\r\n", " ");
    flat.replace('\n', ' ');
    flat.replace('\r', ' ');
    return flat;
}

QFont TooltipWindow::TitleFont() const {
    QFont f = font();
    f.setBold(true);
    return f;
}

QSize TooltipWindow::TextSize() const {
    const QFontMetrics fm(font());
    QSize size = fm.boundingRect(QRect(0, 0, 100000, 100000), Qt::AlignLeft, ShownText()).size();
    if (!options_.Title.isEmpty()) {
        const QFontMetrics tm(TitleFont());
        const int iconWidth = options_.Icon > 0 ? kIconSize + kMargin : 0;
        const int titleWidth = iconWidth + tm.horizontalAdvance(options_.Title);
        const int titleHeight = qMax(tm.height(), options_.Icon > 0 ? kIconSize : 0);
        size = QSize(qMax(size.width(), titleWidth), size.height() + titleHeight + kMargin);
    }
    return size;
}

QSize TooltipWindow::sizeHint() const {
    const QSize text = TextSize();
    const int stem = options_.Style == 1 ? kStem : 0;
    return QSize(text.width() + 2 * kMargin + 2, text.height() + 2 * kMargin + 2 + stem);
}

QRect TooltipWindow::BodyRect() const {
    const int stem = options_.Style == 1 ? kStem : 0;
    return QRect(0, stem, width(), height() - stem);
}

void TooltipWindow::UpdateShape() {
    if (options_.Style != 1) {
        clearMask();
        return;
    }
    QPainterPath path;
    path.addRoundedRect(QRectF(BodyRect()), kRadius, kRadius);
    QPolygonF stem;
    const qreal sx = qMin<qreal>(20, width() / 2.0);
    stem << QPointF(sx, kStem + 1) << QPointF(sx, 0) << QPointF(sx + kStem, kStem + 1);
    path.addPolygon(stem);
    setMask(QRegion(path.simplified().toFillPolygon().toPolygon()));
}

void TooltipWindow::Paint(QPainter& p) const {
    const QColor back = colorFuncs::ToQColor(options_.BackColor);
    const QColor fore = colorFuncs::ToQColor(options_.ForeColor);
    const QRect body = BodyRect();
    p.setPen(fore);
    if (options_.Style == 1) {
        p.setRenderHint(QPainter::Antialiasing, true);
        QPainterPath path;
        path.addRoundedRect(QRectF(body).adjusted(0.5, 0.5, -0.5, -0.5), kRadius, kRadius);
        const qreal sx = qMin<qreal>(20, width() / 2.0);
        QPainterPath stem;
        stem.moveTo(sx, kStem + 1);
        stem.lineTo(sx, 0.5);
        stem.lineTo(sx + kStem, kStem + 1);
        stem.closeSubpath();
        p.setBrush(back);
        p.drawPath(path.united(stem));
        p.setBrush(Qt::NoBrush);
        p.setRenderHint(QPainter::Antialiasing, false);
    } else {
        p.fillRect(rect(), back);
        p.drawRect(body.adjusted(0, 0, -1, -1));
    }
    QRect area = body.adjusted(kMargin + 1, kMargin + 1, -kMargin - 1, -kMargin - 1);
    if (!options_.Title.isEmpty()) {
        const QFontMetrics tm(TitleFont());
        const int lineHeight = qMax(tm.height(), options_.Icon > 0 ? kIconSize : 0);
        int x = area.left();
        if (options_.Icon > 0) {
            PaintIcon(p, QRect(x, area.top() + (lineHeight - kIconSize) / 2, kIconSize, kIconSize),
                      options_.Icon);
            x += kIconSize + kMargin;
        }
        p.setFont(TitleFont());
        p.setPen(fore);
        p.drawText(QRect(x, area.top(), area.right() - x + 1, lineHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, options_.Title);
        area.setTop(area.top() + lineHeight + kMargin);
    }
    p.setFont(font());
    p.setPen(fore);
    p.drawText(area, Qt::AlignLeft | Qt::AlignTop, ShownText());
}

QImage TooltipWindow::Render() const {
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    Paint(p);
    return image;
}

void TooltipWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    Paint(p);
}

void TooltipWindow::Popup(const QPoint& globalPointer) {
    if (control_ == nullptr || text_.isEmpty()) {
        return;
    }
    resize(sizeHint());
    UpdateShape();
    QPoint at;
    if (options_.Centered) {
        const QPoint bottom =
            control_->mapToGlobal(QPoint(control_->width() / 2, control_->height()));
        at = QPoint(bottom.x() - width() / 2, bottom.y() + 2);
    } else {
        at = globalPointer + QPoint(options_.Style == 1 ? -20 : 2, 20);
    }
    move(at);
    show();
    raise();
}

void TooltipWindow::Arm(const QPoint& globalPointer) {
    lastPointer_ = globalPointer;
    showTimer_.start();
}

bool TooltipWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != control_) {
        return false;
    }
    switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::Enter:
            if (event->type() == QEvent::MouseMove) {
                lastPointer_ = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
            } else {
                lastPointer_ = QCursor::pos();
            }
            if (!isVisible()) {
                showTimer_.start();
            }
            break;
        case QEvent::Leave:
        case QEvent::MouseButtonPress:
        case QEvent::Hide:
            showTimer_.stop();
            hide();
            break;
        default:
            break;
    }
    return false;
}
