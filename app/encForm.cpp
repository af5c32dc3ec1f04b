#include "app/encForm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "app/ProgressBar.h"
#include "app/modShell.h"
#include "controls/VkProgressBar.h"
#include "controls/colorFuncs.h"

namespace zorix {

namespace {

constexpr int kWidth = 340;
constexpr int kLeastHeight = 190;

const std::array<const char*, 3> kStepCaptions = {"Loading image data", "Processing colors",
                                                  "Encoding image data"};

QLabel* NamedLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

}  // namespace

encForm::encForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint |
                          Qt::WindowStaysOnTopHint),
      pb_(ProgressBar(QStringLiteral("pb"), this)),
      act_(NamedLabel(QStringLiteral("act"), QString(), this)),
      stt_(NamedLabel(QStringLiteral("stt"), QString(), this)) {
    setObjectName(QStringLiteral("encForm"));
    setWindowTitle(QStringLiteral("Zorix"));
    setModal(false);

    auto* layout = new QVBoxLayout(this);
    QLabel* heading = NamedLabel(QStringLiteral("heading"),
                                 QStringLiteral("Encoding RLE bitmap. Please wait..."), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);
    for (size_t i = 0; i < stp_.size(); ++i) {
        stp_[i] =
            NamedLabel(QStringLiteral("stp%1").arg(i), QString::fromLatin1(kStepCaptions[i]), this);
        layout->addWidget(stp_[i]);
    }
    layout->addWidget(act_);
    layout->addWidget(pb_);
    layout->addWidget(stt_);
    // A hidden bar keeps its place, so the lines below it do not jump.
    QSizePolicy keepPlace = pb_->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    pb_->setSizePolicy(keepPlace);
    // Empty lines keep a line's height, and the window is as tall as its lines
    // need at any font size, so the status line is never cut off.
    for (QLabel* line : {act_, stt_}) {
        line->setMinimumHeight(line->fontMetrics().height());
    }
    setFixedSize(kWidth, std::max(kLeastHeight, layout->sizeHint().height()));
    Reset();
}

QString encForm::Action() const {
    return act_->text();
}

void encForm::setAction(const QString& text) {
    act_->setText(text);
    QCoreApplication::processEvents();
}

void encForm::setStatus(const QString& text) {
    status_ = text;
    stt_->setText(text + QLatin1Char(' '));
    QCoreApplication::processEvents();
}

void encForm::setValue(float value) {
    value_ = ProgressPercent(value);
    pb_->SetValue(static_cast<int>(value_));
    QCoreApplication::processEvents();
}

void encForm::setStep(int step) {
    step_ = std::clamp(step, 1, 3);
    for (int i = 0; i < 3; ++i) {
        MarkStep(i, i == step_ - 1);
    }
}

void encForm::Reset() {
    for (int i = 0; i < 3; ++i) {
        MarkStep(i, false);
    }
    act_->clear();
    stt_->clear();
    status_.clear();
}

void encForm::MarkStep(int index, bool current) {
    QLabel* line = stp_[static_cast<size_t>(index)];
    QFont font = line->font();
    font.setBold(current);
    line->setFont(font);
    QPalette palette = line->palette();
    palette.setColor(QPalette::WindowText,
                     current ? QColor(Qt::black) : colorFuncs::ToQColor(colorFuncs::kSysGrayText));
    line->setPalette(palette);
}

bool encForm::IsStepMarked(int index) const {
    const QLabel* line = stp(index);
    return line && line->font().bold() && line->palette().color(QPalette::WindowText) == Qt::black;
}

QLabel* encForm::stp(int index) const {
    return index >= 0 && index < 3 ? stp_[static_cast<size_t>(index)] : nullptr;
}

void encForm::ShowProgress(int step, const QString& action, const QString& status, float progress) {
    if (Action() != action) {
        setAction(action);
    }
    if (Step() != step) {
        setStep(step);
    }
    if (this->status() != status) {
        setStatus(status);
    }
    if (progress >= 0) {
        setValue(progress);
        if (pb_->isHidden()) {
            pb_->show();
        }
    } else {
        pb_->hide();
    }
}

bool encForm::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        MakeTopmost(this);
    }
    return QDialog::event(event);
}

void encForm::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CloseEncodingWindow(encForm*& window) {
    if (!window) {
        return;
    }
    window->closing_ = true;
    window->close();
    delete window;
    window = nullptr;
}

}  // namespace zorix
