#pragma once

#include <QDialog>
#include <array>

class QLabel;
class VkProgressBar;

namespace zorix {

// The small topmost window shown while a device bitmap is encoded: the three
// steps (the current one marked), the action, the status and a progress bar.
// Every setter of a text or value lets pending window events run.
class encForm : public QDialog {
    Q_OBJECT
  public:
    explicit encForm(QWidget* parent = nullptr);

    QString Action() const;
    void setAction(const QString& text);
    QString status() const { return status_; }
    void setStatus(const QString& text);  // shown with one blank after it
    float Value() const { return value_; }
    void setValue(float value);  // clamped to 0..100, rounded
    int Step() const { return step_; }
    void setStep(int step);  // clamped to 1..3; marks that step's line
    // Every step line grey and normal, the action and status lines empty.
    void Reset();

    // What the main window does with one RLEEncoding event: changed texts and
    // step are set; a progress of 0 or more moves the (shown) bar, a negative
    // one hides it.
    void ShowProgress(int step, const QString& action, const QString& status, float progress);

    VkProgressBar* pb() const { return pb_; }
    QLabel* act() const { return act_; }
    QLabel* stt() const { return stt_; }
    QLabel* stp(int index) const;
    // Whether the step line `index` (0..2) is marked as the current step.
    bool IsStepMarked(int index) const;

  public slots:
    // The encoding cannot be interrupted: Escape does not close the window.
    void reject() override {}

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void MarkStep(int index, bool current);

    VkProgressBar* pb_;
    QLabel* act_;
    QLabel* stt_;
    std::array<QLabel*, 3> stp_{};
    QString status_;
    float value_ = 0;
    int step_ = 0;
    bool closing_ = false;

    friend void CloseEncodingWindow(encForm*& window);
};

// Closes and releases the window (the user cannot close it); `window` becomes null.
void CloseEncodingWindow(encForm*& window);

}  // namespace zorix
