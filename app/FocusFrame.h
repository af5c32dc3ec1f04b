#pragma once

#include <QFrame>

namespace zorix {

// Holds one control and draws a ring in the highlight colour around it while it has
// the keyboard focus, for controls whose style shows no focus of their own (a
// slider). The ring's room is kept always, so nothing moves when focus changes.
class FocusFrame : public QFrame {
    Q_OBJECT
  public:
    FocusFrame(QWidget* control, QWidget* parent);

    bool RingShown() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QWidget* control_;
};

}  // namespace zorix
