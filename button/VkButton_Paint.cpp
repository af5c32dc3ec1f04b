// Painting of VkButton: face, light strip, cuts, bottom line, border, icon and caption,
// in that order, on an image of the client size (later steps read back face pixels).
#include <QPainter>

#include "button/AccessKey.h"
#include "button/VkButton.h"
#include "controls/colorFuncs.h"
#include "controls/gradBar.h"

namespace {

constexpr int kFaceMargin = 4;  // caption and icon keep this far from the edges
constexpr int kIconGap = 4;

quint32 PixelAt(const QImage& image, int x, int y) {
    if (!image.valid(x, y)) {
        return 0xFFFFFF;
    }
    return colorFuncs::FromQColor(QColor::fromRgb(image.pixel(x, y)));
}

QColor Q(quint32 color) {
    return colorFuncs::ToQColor(color);
}

// Places a box of the given size in an area by a nine-way alignment.
QPoint Place(const QRect& area, const QSize& size, int alignment) {
    const int column =
        alignment == VkButton::aaTopLeft || alignment == VkButton::aaMiddleLeft ||
                alignment == VkButton::aaBottomLeft
            ? 0
            : (alignment == VkButton::aaTopRight || alignment == VkButton::aaMiddleRight ||
                       alignment == VkButton::aaBottomRight
                   ? 2
                   : 1);
    const int row =
        alignment <= VkButton::aaTopCenter ? 0 : (alignment <= VkButton::aaMiddleCenter ? 1 : 2);
    const int x = column == 0 ? area.left()
                              : (column == 2 ? area.right() + 1 - size.width()
                                             : area.left() + (area.width() - size.width()) / 2);
    const int y = row == 0 ? area.top()
                           : (row == 2 ? area.bottom() + 1 - size.height()
                                       : area.top() + (area.height() - size.height()) / 2);
    return QPoint(x, y);
}

bool IsLeftColumn(int a) {
    return a == VkButton::aaTopLeft || a == VkButton::aaMiddleLeft || a == VkButton::aaBottomLeft;
}

bool IsRightColumn(int a) {
    return a == VkButton::aaTopRight || a == VkButton::aaMiddleRight ||
           a == VkButton::aaBottomRight;
}

}  // namespace

QImage VkButton::Paint(const PaintState& state) const {
    QImage image(qMax(1, width()), qMax(1, height()), QImage::Format_RGB32);
    image.fill(Qt::white);
    PaintFace(image, state);
    if (lightEffect_) {
        PaintLightStrip(image);
    }
    PaintCuts(image);
    if (bottomLine_) {
        PaintBottomLine(image);
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    PaintBorder(p, state);
    PaintContent(p, state);
    return image;
}

void VkButton::PaintFace(QImage& image, const PaintState& state) const {
    const quint32 top = state.hovering ? hoverColorA_ : colorA_;
    const quint32 bottom = state.hovering ? hoverColorB_ : colorB_;
    const int w = image.width();
    const int h = image.height();
    QPainter p(&image);
    if (gradientStyle_ == gtGel) {
        const int half = h / 2;
        gradBar::Draw(p, 0, 0, w, half, 0xFFFFFF, top, gradBar::kTopToBottom);
        gradBar::Draw(p, 0, half, w, h - half, bottom, top, gradBar::kTopToBottom);
    } else if (colorFuncs::TranslateColor(top) == colorFuncs::TranslateColor(bottom)) {
        p.fillRect(0, 0, w, h, Q(top));
    } else {
        gradBar::Draw(p, 0, 0, w, h, top, bottom, gradBar::kTopToBottom);
    }
}

void VkButton::PaintLightStrip(QImage& image) const {
    const quint32 atTop = PixelAt(image, 1, 0);
    const quint32 below = PixelAt(image, 1, 4);
    QPainter p(&image);
    gradBar::Draw(p, 0, 0, image.width(), 2, atTop, 0xFFFFFF, gradBar::kTopToBottom);
    gradBar::Draw(p, 0, 2, image.width(), 2, 0xFFFFFF, below, gradBar::kTopToBottom);
}

void VkButton::PaintCut(QImage& image, int x) const {
    // Two single-pixel columns: a light one and a dark one beside it.
    for (int y = 4; y < image.height() - 4; ++y) {
        for (int dx = 0; dx < 2; ++dx) {
            if (!image.valid(x + dx, y)) {
                continue;
            }
            const quint32 face = PixelAt(image, x + dx, y);
            quint32 c;
            if (cutStrength_ == stHard) {
                c = dx == 0 ? 0xFFFFFF : colorFuncs::Brightness(face, 75);
            } else {
                c = colorFuncs::Brightness(face, dx == 0 ? 130 : 75);
            }
            image.setPixel(x + dx, y, Q(c).rgb());
        }
    }
}

void VkButton::PaintCuts(QImage& image) const {
    if (cutStyle_ == posLeft || cutStyle_ == posBoth) {
        PaintCut(image, 0);
    }
    if (cutStyle_ == posRight || cutStyle_ == posBoth) {
        PaintCut(image, image.width() - 2);
    }
}

void VkButton::PaintBottomLine(QImage& image) const {
    const int h = image.height();
    if (h < 2) {
        return;
    }
    const QColor first = Q(PixelAt(image, 0, 0));
    const QColor second = Q(PixelAt(image, 0, 1));
    QPainter p(&image);
    p.fillRect(0, h - 1, image.width(), 1, first);
    p.fillRect(0, h - 2, image.width(), 1, second);
}

void VkButton::PaintRoundCorners(QPainter& p, const QColor& color) const {
    const int r = width() - 1;
    const int b = height() - 1;
    p.setPen(color);
    p.drawLine(0, 2, 2, 0);
    p.drawLine(r - 2, 0, r, 2);
    p.drawLine(0, b - 2, 2, b);
    p.drawLine(r - 2, b, r, b - 2);
}

void VkButton::PaintBorder(QPainter& p, const PaintState& state) const {
    if (borderStyle_ != bsFixedSingle) {
        return;
    }
    const bool emphasised = state.focused || default_;
    const QColor frame = emphasised ? QColor(Qt::black) : Q(borderColor_);
    const QRect outer(0, 0, width(), height());
    p.setBrush(Qt::NoBrush);
    p.setPen(frame);
    p.drawRect(outer.adjusted(0, 0, -1, -1));
    if (appearance_ == ap3D) {
        if (state.pressed) {
            p.setPen(Q(borderColor_));
            p.drawRect(outer.adjusted(1, 1, -2, -2));
        } else {
            const int in = emphasised ? 2 : 1;
            const QRect r = outer.adjusted(in, in, -in, -in);
            p.setPen(Qt::white);
            p.drawLine(r.left(), r.top(), r.right(), r.top());
            p.drawLine(r.left(), r.top(), r.left(), r.bottom());
            p.setPen(Q(colorFuncs::Brightness(borderColor_, 200)));
            p.drawLine(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
            p.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);
            p.setPen(Q(borderColor_));
            p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
            p.drawLine(r.right(), r.top(), r.right(), r.bottom());
        }
    }
    if (cornerStyle_ == csRound) {
        PaintRoundCorners(p, frame);
    }
}

void VkButton::PaintContent(QPainter& p, const PaintState& state) const {
    QRect face = rect().adjusted(kFaceMargin, kFaceMargin, -kFaceMargin, -kFaceMargin);
    if (state.pressed && appearance_ == ap3D) {
        face.translate(1, 1);
    }
    QRect captionArea = face;
    if (!icon_.isNull()) {
        const QSize iconSize = icon_.deviceIndependentSize().toSize();
        const QPoint at =
            Place(face, iconSize, iconAlignment_) + QPoint(iconAdjustX_, iconAdjustY_);
        p.drawPixmap(at, icon_);
        // The caption keeps to the side of the icon when they share a row.
        if (IsLeftColumn(iconAlignment_)) {
            captionArea.setLeft(qMin(captionArea.right(), at.x() + iconSize.width() + kIconGap));
        } else if (IsRightColumn(iconAlignment_)) {
            captionArea.setRight(qMax(captionArea.left(), at.x() - kIconGap));
        }
    }
    PaintCaption(p, captionArea, state);
}

void VkButton::PaintCaption(QPainter& p, const QRect& area, const PaintState& state) const {
    const AccessKey::Parsed caption = AccessKey::Parse(caption_);
    if (caption.text.isEmpty()) {
        return;
    }
    const QColor text = CaptionColor(state.hovering ? hoverForeColor_ : foreColor_);
    const QColor outline = Q(state.hovering ? hoverOutline_ : outlineColor_);
    QFont font = font_;
    p.setFont(font);
    const QFontMetrics fm(font);
    const QSize extent(fm.horizontalAdvance(caption.text), fm.height());
    const QPoint at = Place(area, extent, alignment_);
    const int baseline = at.y() + fm.ascent();

    auto print = [&](int dx, int dy, const QColor& color) {
        p.setPen(color);
        p.drawText(at.x() + dx, baseline + dy, caption.text);
        if (caption.index >= 0) {
            const int x0 = at.x() + dx + fm.horizontalAdvance(caption.text.left(caption.index));
            const int x1 = x0 + fm.horizontalAdvance(caption.text.at(caption.index)) - 1;
            const int y = baseline + dy + qMax(1, fm.underlinePos());
            p.drawLine(x0, y, x1, y);
        }
    };

    const bool regular = outline_ == olRegular || (outline_ == olHoverRegular && state.hovering);
    const bool shadow = outline_ == olShadow || (outline_ == olHoverShadow && state.hovering);
    if (regular) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if (dx != 0 || dy != 0) {
                    print(dx, dy, outline);
                }
            }
        }
    } else if (shadow) {
        print(1, 1, outline);
    }
    print(0, 0, text);
}
