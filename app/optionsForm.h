#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QSlider;
class VkButton;

namespace zorix {

class DigitEdit;

// The modal "Options" dialog: the colour accuracy and the palette limit of the RLE
// encoder, and how colours are reduced to them. OK stores the program-wide options;
// Cancel leaves them as they were.
class optionsForm : public QDialog {
    Q_OBJECT
  public:
    explicit optionsForm(QWidget* parent = nullptr);

    QSlider* ca() const { return ca_; }
    // The slider's value as text ("97%").
    QLabel* caValue() const { return caValue_; }
    QCheckBox* ck() const { return ck_; }
    DigitEdit* mps() const { return mps_; }
    QComboBox* red() const { return red_; }
    QCheckBox* dith() const { return dith_; }
    VkButton* okBUT() const { return okBUT_; }
    VkButton* cancelBUT() const { return cancelBUT_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QGroupBox* BuildAccuracyFrame();
    QWidget* BuildPaletteLimit();
    QWidget* BuildReduction();
    QWidget* BuildButtons();
    void Opening();
    void Changed();
    void ShowAccuracy(int value);
    void ck_Click();
    void red_Change();
    void mps_LostFocus();
    void okBUT_Click();

    QSlider* ca_ = nullptr;
    QLabel* caValue_ = nullptr;
    QCheckBox* ck_ = nullptr;
    DigitEdit* mps_ = nullptr;
    QComboBox* red_ = nullptr;
    QCheckBox* dith_ = nullptr;
    VkButton* okBUT_ = nullptr;
    VkButton* cancelBUT_ = nullptr;
};

// Opens the dialog modally; true when OK stored new options.
bool ShowOptions(QWidget* parent);

}  // namespace zorix
