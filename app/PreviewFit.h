#pragma once

#include <QImage>
#include <QPixmap>
#include <QSize>

// "Fit to window": a picture larger than the view is shown scaled down to fit,
// keeping its aspect; smaller pictures keep their own size.
namespace zorix {

// The size at which a picture of `image` pixels is shown in `area` pixels.
QSize FitSize(QSize image, QSize area);

// Holds the picture the engine composed and hands out what the view shows: the
// picture itself, or a smooth reduction of it when fitting asks for one.
class PreviewPicture {
  public:
    void Set(const QImage& picture);
    void Clear();
    bool IsNull() const { return picture_.isNull(); }
    QSize Size() const { return picture_.size(); }
    const QImage& Image() const { return picture_; }

    // The pixmap for the view: at its own size, or fitted into `area` when `fit`.
    // Reductions are kept, so a layout at an unchanged size scales nothing.
    const QPixmap& Shown(bool fit, QSize area);

  private:
    QImage picture_;
    QPixmap shown_;
};

}  // namespace zorix
