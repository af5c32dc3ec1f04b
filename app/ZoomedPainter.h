#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

class QPainter;

namespace zorix {

// Draws a picture at any zoom, only the part that is visible: enlarged pixels as
// sharp squares, reductions smoothly from a halved copy near the wanted size, so a
// repaint never scales the whole picture.
class ZoomedPainter {
  public:
    void Set(const QImage& picture);
    const QImage& Picture() const { return picture_; }

    // Paints the part `visible` of the picture shown at `shown` size (both in shown
    // pixels) with the shown picture's top left corner at `origin` of the painter.
    void Paint(QPainter& painter, QPoint origin, QSize shown, QRect visible);

    // The halved copy a reduction to `shown` is drawn from (level 0 is the picture).
    const QImage& SourceFor(QSize shown);

  private:
    void PaintReduced(QPainter& painter, QPoint origin, QSize shown, QRect visible);

    std::vector<QImage> levels_;  // level k is the picture halved k times
    QImage picture_;
};

// The picture halved each way (rounding up), every result pixel the mean of the
// two-by-two block it covers.
QImage HalvedImage(const QImage& image);

}  // namespace zorix
