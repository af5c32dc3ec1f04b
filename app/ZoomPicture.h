#pragma once

#include <QLabel>

#include "app/ZoomedPainter.h"

namespace zorix {

// The preview's image control. At its own size (or fitted) it shows a pixmap as a
// label does; zoomed it paints only the visible part of the picture itself, so
// its size may be far larger than any pixmap could be.
class ZoomPicture : public QLabel {
    Q_OBJECT
  public:
    explicit ZoomPicture(QWidget* parent = nullptr);

    // Shows `picture` at `shown` size, painted on demand; the pixmap is cleared.
    void ShowZoomed(const QImage& picture, QSize shown);
    // Back to the label's own pixmap painting.
    void EndZoom();
    bool IsZoomed() const { return zoomed_; }

    // The size the picture is shown at, without the border, in either mode.
    QSize ShownSize() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    ZoomedPainter painter_;
    QSize shown_;
    bool zoomed_ = false;
};

}  // namespace zorix
