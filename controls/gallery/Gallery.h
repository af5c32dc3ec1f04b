#pragma once

#include <QString>
#include <QWidget>

// One window showing every control of both libraries in each theme and state.
class Gallery : public QWidget {
    Q_OBJECT
  public:
    explicit Gallery(QWidget* parent = nullptr);

    // Hover and pressed looks need events; call once the window is shown.
    void ApplyStates();

  private:
    QWidget* Section(const QString& title, int x, int y, int w, int h);
    void BuildButtons(QWidget* area);
    void BuildProgressBars(QWidget* area);
    void BuildMeters(QWidget* area);
    void BuildCheckBoxes(QWidget* area);
    void BuildLinks(QWidget* area);
    void BuildFrames(QWidget* area);
    void BuildTooltips(QWidget* area);

    QList<QWidget*> hovered_;
    QList<QWidget*> pressed_;
};
