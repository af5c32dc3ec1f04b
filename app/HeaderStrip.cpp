#include "app/HeaderStrip.h"

#include <QWidget>

#include "button/VkButton.h"
#include "controls/VkGradFrame.h"

namespace zorix {

namespace {

struct SaveButtonDesign {
    const char* caption;
    const char* toolTip;
    double left;  // twips from the strip's left
    double width;
};

// Design data of the save buttons, by save index.
const std::array<SaveButtonDesign, kLastSaveIndex + 1> kSaveButtons = {{
    {"", "", 0, 0},
    {"iPAQ 31x / iGO", "Save as RLE Bitmap (iPAQ 31x/iGO)", 1320, 1500},
    {"BMP (RGB)", "Save as regular Bitmap (RGB)", 2880, 1200},
    {"BMP (aRGB)", "Save as Bitmap with Alpha Channel (ARGB)", 4140, 1200},
    {"PNG", "Save as PNG", 5400, 900},
    {"JPG", "Save as JPG", 6360, 900},
}};

constexpr double kButtonTop = 30;
constexpr uint kStripeDark = 0x00943F1C;  // 0x00BBGGRR
constexpr uint kStripeLight = 0x00F5E2D8;
constexpr double kButtonHeight = 270;

}  // namespace

HeaderStrip::HeaderStrip(QWidget* parent) : QObject(parent) {
    auto* topBg = new VkButton(parent);
    topBg->setObjectName(QStringLiteral("topBg"));
    topBg->SetTheme(VkButton::thmOfficeBar);
    topBg->SetCaption(QStringLiteral("   Save as..."));
    topBg->SetAlignment(VkButton::aaMiddleLeft);
    QFont bold = topBg->Font();
    bold.setBold(true);
    topBg->SetFont(bold);
    topBg->setFocusPolicy(Qt::NoFocus);
    topBg_ = topBg;

    auto* stripe = new VkGradFrame(parent);
    stripe->setObjectName(QStringLiteral("topStripe"));
    stripe->SetOrientation(VkGradFrame::orHorizontal);
    stripe->SetColorA(kStripeDark);
    stripe->SetColorB(kStripeLight);
    topStripe_ = stripe;

    for (int i = kFirstSaveIndex; i <= kLastSaveIndex; ++i) {
        auto* button = new VkButton(parent);
        button->setObjectName(QStringLiteral("btSave%1").arg(i));
        button->SetTheme(VkButton::thmSilver3D);
        button->SetCaption(QString::fromLatin1(kSaveButtons[i].caption));
        button->setToolTip(QString::fromLatin1(kSaveButtons[i].toolTip));
        connect(button, &VkButton::Click, this, [this, i] { emit saveClicked(i); });
        buttons_[i] = button;
    }
}

void HeaderStrip::Place(const TwipRect& topBg, const TwipRect& topStripe) {
    topBg_->setGeometry(ToPixels(topBg));
    topStripe_->setGeometry(ToPixels(topStripe));
    for (int i = kFirstSaveIndex; i <= kLastSaveIndex; ++i) {
        const TwipRect place{topBg.left + kSaveButtons[i].left, topBg.top + kButtonTop,
                             kSaveButtons[i].width, kButtonHeight};
        buttons_[i]->setGeometry(ToPixels(place));
        buttons_[i]->raise();
    }
}

void HeaderStrip::setSaveEnabled(bool enabled) {
    for (int i = kFirstSaveIndex; i <= kLastSaveIndex; ++i) {
        static_cast<VkButton*>(buttons_[i])->SetEnabled(enabled);
    }
}

QWidget* HeaderStrip::btSave(int index) const {
    return index >= kFirstSaveIndex && index <= kLastSaveIndex ? buttons_[index] : nullptr;
}

}  // namespace zorix
