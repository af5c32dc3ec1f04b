#include "app/HeaderStrip.h"

#include <QFrame>
#include <QPushButton>
#include <QWidget>

namespace zorix {

namespace {

struct SaveButtonDesign {
    const char* caption;
    const char* toolTip;
    double left;  // twips from the strip's left
    double width;
};

// Design data of the save buttons, by index 1 to 5.
const std::array<SaveButtonDesign, 6> kSaveButtons = {{
    {"", "", 0, 0},
    {"iPAQ 31x / iGO", "Save as RLE Bitmap (iPAQ 31x/iGO)", 1320, 1500},
    {"BMP (RGB)", "Save as regular Bitmap (RGB)", 2880, 1200},
    {"BMP (aRGB)", "Save as Bitmap with Alpha Channel (ARGB)", 4140, 1200},
    {"PNG", "Save as PNG", 5400, 900},
    {"JPG", "Save as JPG", 6360, 900},
}};

constexpr double kButtonTop = 30;
constexpr double kButtonHeight = 270;

QRect ToPixels(const TwipRect& r) {
    return {TwipsToPixels(r.left), TwipsToPixels(r.top), TwipsToPixels(r.width),
            TwipsToPixels(r.height)};
}

}  // namespace

HeaderStrip::HeaderStrip(QWidget* parent) : QObject(parent) {
    auto* topBg = new QPushButton(QStringLiteral("   Save as..."), parent);
    topBg->setObjectName(QStringLiteral("topBg"));
    topBg->setFlat(true);
    topBg->setFocusPolicy(Qt::NoFocus);
    topBg->setStyleSheet(QStringLiteral("text-align: left; font-weight: bold;"));
    topBg_ = topBg;

    auto* stripe = new QFrame(parent);
    stripe->setObjectName(QStringLiteral("topStripe"));
    stripe->setStyleSheet(QStringLiteral(
        "background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #1c3f94, stop:1 #d8e2f5);"));
    topStripe_ = stripe;

    for (int i = 1; i <= 5; ++i) {
        auto* button = new QPushButton(QString::fromLatin1(kSaveButtons[i].caption), parent);
        button->setObjectName(QStringLiteral("btSave%1").arg(i));
        button->setToolTip(QString::fromLatin1(kSaveButtons[i].toolTip));
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, [this, i] { emit saveClicked(i); });
        buttons_[i] = button;
    }
}

void HeaderStrip::Place(const TwipRect& topBg, const TwipRect& topStripe) {
    topBg_->setGeometry(ToPixels(topBg));
    topStripe_->setGeometry(ToPixels(topStripe));
    for (int i = 1; i <= 5; ++i) {
        const TwipRect place{topBg.left + kSaveButtons[i].left, topBg.top + kButtonTop,
                             kSaveButtons[i].width, kButtonHeight};
        buttons_[i]->setGeometry(ToPixels(place));
        buttons_[i]->raise();
    }
}

void HeaderStrip::setSaveEnabled(bool enabled) {
    for (int i = 1; i <= 5; ++i) {
        buttons_[i]->setEnabled(enabled);
    }
}

QWidget* HeaderStrip::btSave(int index) const {
    return index >= 1 && index <= 5 ? buttons_[index] : nullptr;
}

}  // namespace zorix
