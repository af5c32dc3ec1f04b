#include "app/frmAbout.h"

#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "app/CommandButton.h"
#include "app/UpdateCheck.h"
#include "button/VkButton.h"

namespace zorix {

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent),
      title_(new QLabel(QStringLiteral("About Zorix (Zorix Viewer)"), this)),
      version_(new QLabel(QStringLiteral("Version ") + RunningVersion(), this)),
      description_(new QLabel(
          QStringLiteral("Zorix's main goal is to display the 'special' bitmaps from HP's "
                         "iPAQ 31x GPS device.\nIt can also convert standard BMPs (RGB and "
                         "ARGB), GIFs and PNGs to iPAQ's format (iPAQ RLE Bitmap)."),
          this)),
      cmdOK_(CommandButton(QStringLiteral("cmdOK"), QStringLiteral("OK"), this)) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Zorix"));
    setModal(true);
    title_->setObjectName(QStringLiteral("lblTitle"));
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    version_->setObjectName(QStringLiteral("lblVersion"));
    description_->setObjectName(QStringLiteral("lblDescription"));
    description_->setWordWrap(true);
    cmdOK_->SetDefault(true);
    connect(cmdOK_, &VkButton::Click, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title_);
    layout->addWidget(version_);
    layout->addWidget(description_);
    layout->addWidget(cmdOK_, 0, Qt::AlignRight);
    setFixedWidth(400);
}

void frmAbout::keyPressEvent(QKeyEvent* event) {
    // OK is the box's default command.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ShowAbout(QWidget* parent) {
    frmAbout box(parent);
    box.exec();
}

}  // namespace zorix
