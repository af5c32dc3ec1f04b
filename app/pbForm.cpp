#include "app/pbForm.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

#include "app/ProgressBar.h"
#include "app/modShell.h"
#include "controls/VkProgressBar.h"

namespace zorix {

QString pbForm::PleaseWait() {
    return QStringLiteral("Please wait...");
}

pbForm::pbForm(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint),
      bar_(ProgressBar(QString(), this)),
      title_(new QLabel(PleaseWait(), this)),
      action_(new QLabel(this)) {
    setObjectName(QStringLiteral("pbForm"));
    setModal(false);
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title_);
    layout->addWidget(bar_);
    layout->addWidget(action_);
    setFixedSize(300, 90);
}

void pbForm::setValue(float value) {
    value_ = ProgressPercent(value);
    bar_->SetValue(static_cast<int>(value_));
    QCoreApplication::processEvents();
}

QString pbForm::Title() const {
    return title_->text();
}

void pbForm::setTitle(const QString& text) {
    title_->setText(text);
    QCoreApplication::processEvents();
}

QString pbForm::Action() const {
    return action_->text();
}

void pbForm::setAction(const QString& text) {
    action_->setText(text);
    QCoreApplication::processEvents();
}

void pbForm::Reset() {
    setTitle(PleaseWait());
}

int pbForm::BarValue() const {
    return bar_->Value();
}

}  // namespace zorix
