#pragma once

#include <QLineEdit>

namespace zorix {

// A text box that takes digits only: other typed characters are rejected, and text
// that arrives by pasting or dropping keeps only its digits. It reports losing the
// focus to another control of its window.
class DigitEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit DigitEdit(QWidget* parent = nullptr);

  signals:
    void focusLost();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void KeepDigits(const QString& text);
};

}  // namespace zorix
