#pragma once

#include "app/Prompter.h"

namespace zorix {

// The real dialogs: QMessageBox and QFileDialog.
class QtPrompter final : public Prompter {
  public:
    Answer MessageBox(QWidget* parent, const QString& text, const QString& title, Icon icon,
                      Buttons buttons) override;
    QString ChooseFolder(QWidget* parent, const QString& title) override;
    QString ChooseSaveFile(QWidget* parent, const SaveRequest& request) override;
    QStringList ChooseOpenFiles(QWidget* parent, const OpenRequest& request) override;

    // "Desc|*.a|Other|*.b" as a QFileDialog filter ("Desc (*.a);;Other (*.b)").
    static QString DialogFilter(const QString& filter);
};

}  // namespace zorix
