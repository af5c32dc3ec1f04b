#pragma once

#include <QDialog>

class QKeyEvent;
class QLabel;
class VkButton;

namespace zorix {

// The modal "About Zorix" box: name, version and what the program is for.
class frmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit frmAbout(QWidget* parent = nullptr);

    QLabel* titleLine() const { return title_; }
    QLabel* versionLine() const { return version_; }
    QLabel* description() const { return description_; }
    VkButton* cmdOK() const { return cmdOK_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QLabel* title_;
    QLabel* version_;
    QLabel* description_;
    VkButton* cmdOK_;
};

void ShowAbout(QWidget* parent);

}  // namespace zorix
