#pragma once

#include <QDialog>

class QLabel;
class VkProgressBar;

namespace zorix {

// The small window that accompanies the decoding of a large device bitmap: a
// progress bar, a title line and an action line. Every setter lets pending
// window events run, so the program keeps painting during long work.
class pbForm : public QDialog {
    Q_OBJECT
  public:
    explicit pbForm(QWidget* parent = nullptr);

    // "Please wait...": the title line at rest, and the action line of a decoding.
    static QString PleaseWait();

    float Value() const { return value_; }
    void setValue(float value);  // clamped to 0..100, rounded
    QString Title() const;
    void setTitle(const QString& text);
    QString Action() const;
    void setAction(const QString& text);
    // The title line reads "Please wait..." again.
    void Reset();
    int BarValue() const;

  private:
    VkProgressBar* bar_;
    QLabel* title_;
    QLabel* action_;
    float value_ = 0;
};

}  // namespace zorix
