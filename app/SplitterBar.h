#pragma once

#include <QFrame>
#include <QPointF>

namespace zorix {

// A splitter bar of the main window. It reports presses, moves and releases with
// the pointer position in twips relative to the bar; the window moves it.
class SplitterBar : public QFrame {
    Q_OBJECT
  public:
    SplitterBar(Qt::Orientation orientation, QWidget* parent);

  signals:
    void leftPressed(QPointF twips);
    void moved(QPointF twips);
    void released();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace zorix
