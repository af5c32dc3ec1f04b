#include "app/optionsForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>

#include "app/CommandButton.h"
#include "app/DigitEdit.h"
#include "app/FocusFrame.h"
#include "app/PaletteLimitRules.h"
#include "app/modSettings.h"
#include "button/VkButton.h"
#include "engine/ZorixImgEngine.h"

namespace zorix {

namespace {

QLabel* WrappedText(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

}  // namespace

optionsForm::optionsForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("optionsForm"));
    setWindowTitle(QStringLiteral("Options"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildAccuracyFrame());
    layout->addWidget(BuildPaletteLimit());
    layout->addWidget(BuildReduction());
    layout->addWidget(BuildButtons());
    setFixedWidth(420);
    Opening();
    ShowAccuracy(ca_->value());
}

void optionsForm::ShowAccuracy(int value) {
    caValue_->setText(QString::number(value) + QLatin1Char('%'));
}

QGroupBox* optionsForm::BuildAccuracyFrame() {
    auto* frame = new QGroupBox(QStringLiteral("Color accuracy"), this);
    ca_ = new QSlider(Qt::Horizontal, frame);
    ca_->setObjectName(QStringLiteral("ca"));
    ca_->setRange(static_cast<int>(quenda::kMinColorAccuracy),
                  static_cast<int>(quenda::kMaxColorAccuracy));
    ca_->setSingleStep(1);
    ca_->setPageStep(1);
    ca_->setTickPosition(QSlider::TicksBelow);
    ca_->setTickInterval(1);
    connect(ca_, &QSlider::valueChanged, this, &optionsForm::Changed);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(
        WrappedText(QStringLiteral("Reducing color accuracy will result on removing similar "
                                   "colors from the color palette. You should only do this if "
                                   "you really have to because image quality will be reduced "
                                   "too."),
                    frame),
        0, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("90%"), frame), 1, 0);
    grid->addWidget(new FocusFrame(ca_, frame), 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("100%"), frame), 1, 2);
    // The chosen value, which the ticks alone do not tell.
    caValue_ = new QLabel(frame);
    caValue_->setObjectName(QStringLiteral("caValue"));
    caValue_->setAlignment(Qt::AlignHCenter);
    grid->addWidget(caValue_, 2, 1);
    connect(ca_, &QSlider::valueChanged, this, &optionsForm::ShowAccuracy);
    return frame;
}

QWidget* optionsForm::BuildPaletteLimit() {
    auto* box = new QWidget(this);
    ck_ = new QCheckBox(QStringLiteral("Impose max palette size"), box);
    ck_->setObjectName(QStringLiteral("ck"));
    connect(ck_, &QCheckBox::clicked, this, &optionsForm::ck_Click);
    mps_ = new DigitEdit(box);
    mps_->setObjectName(QStringLiteral("mps"));
    mps_->setText(QString::fromLatin1(kDesignPaletteText));
    mps_->setFixedWidth(60);
    connect(mps_, &QLineEdit::textChanged, this, &optionsForm::Changed);
    connect(mps_, &DigitEdit::focusLost, this, &optionsForm::mps_LostFocus);
    auto* layout = new QGridLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(
        WrappedText(QStringLiteral("You can also reduce the color palette by setting the "
                                   "maximum number of colors allowed in the color palette. "
                                   "Ideally, the color pallete shouldn't have over 250 colors."),
                    box),
        0, 0, 1, 2);
    layout->addWidget(ck_, 1, 0);
    layout->addWidget(mps_, 1, 1);
    return box;
}

QWidget* optionsForm::BuildReduction() {
    auto* box = new QWidget(this);
    red_ = new QComboBox(box);
    red_->setObjectName(QStringLiteral("red"));
    red_->addItem(QStringLiteral("Classic"));
    red_->addItem(QStringLiteral("Best quality"));
    dith_ = new QCheckBox(QStringLiteral("Dithering"), box);
    dith_->setObjectName(QStringLiteral("dith"));
    connect(red_, &QComboBox::currentIndexChanged, this, &optionsForm::red_Change);
    connect(dith_, &QCheckBox::clicked, this, &optionsForm::Changed);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Reduction:"), box));
    layout->addWidget(red_);
    layout->addWidget(dith_);
    layout->addStretch();
    return box;
}

QWidget* optionsForm::BuildButtons() {
    auto* row = new QWidget(this);
    okBUT_ = CommandButton(QStringLiteral("okBUT"), QStringLiteral("&OK"), row);
    cancelBUT_ = CommandButton(QStringLiteral("cancelBUT"), QStringLiteral("&Cancel"), row);
    connect(okBUT_, &VkButton::Click, this, &optionsForm::okBUT_Click);
    connect(cancelBUT_, &VkButton::Click, this, &QDialog::reject);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch();
    layout->addWidget(okBUT_);
    layout->addWidget(cancelBUT_);
    return row;
}

void optionsForm::Opening() {
    ck_->setChecked(MaxPaletteSize >= 1);
    ck_Click();
    if (MaxPaletteSize > 0) {
        mps_->setText(QString::number(MaxPaletteSize));
    }
    ca_->setValue(static_cast<int>(RoundHalfEven(ColorAccuracy)));
    red_->setCurrentIndex(BestReduction ? 1 : 0);
    dith_->setChecked(ReductionDither);
    dith_->setEnabled(BestReduction);
    okBUT_->SetEnabled(false);
}

void optionsForm::Changed() {
    okBUT_->SetEnabled(true);
}

void optionsForm::ck_Click() {
    mps_->setEnabled(ck_->isChecked());
    Changed();
}

void optionsForm::red_Change() {
    // Only the best-quality reduction dithers.
    dith_->setEnabled(red_->currentIndex() == 1);
    Changed();
}

void optionsForm::mps_LostFocus() {
    const QString corrected = CorrectedPaletteText(mps_->text(), MaxPaletteSize);
    if (corrected != mps_->text()) {
        mps_->setText(corrected);
    }
}

void optionsForm::okBUT_Click() {
    // Pressing OK takes the focus from the box, so its correction comes first.
    mps_LostFocus();
    MaxPaletteSize = PaletteLimitOf(mps_->text(), ck_->isChecked());
    ColorAccuracy = static_cast<float>(ca_->value());
    BestReduction = red_->currentIndex() == 1;
    ReductionDither = dith_->isChecked();
    SaveEngineOptions();
    accept();
}

void optionsForm::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier) {
        if (okBUT_->isEnabled()) {
            okBUT_Click();
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

bool ShowOptions(QWidget* parent) {
    optionsForm form(parent);
    return form.exec() == QDialog::Accepted;
}

}  // namespace zorix
