#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <optional>
#include <span>

// The view's zoom: its steps, the size a picture is shown at, which pixel lies under
// a point of the shown picture, and where the view scrolls to keep a point in place.
namespace zorix {

constexpr double kMinZoom = 1.0 / 16;
constexpr double kMaxZoom = 32;

// Every step from kMinZoom to kMaxZoom, ascending; 1 is one of them.
std::span<const double> ZoomSteps();

// The first step above `scale`, or kMaxZoom at the top. `scale` may lie between
// steps (a fitted picture).
double ZoomIn(double scale);
// The first step below `scale`, or kMinZoom at the bottom.
double ZoomOut(double scale);

// "800 %", "33.3 %", "6.25 %": the scale as a percentage for the status field.
QString ZoomText(double scale);

// The picture's size at `scale`, at least one pixel each way.
QSize ZoomedSize(QSize image, double scale);

// The pixel of an `image`-sized picture under `point` of it shown at `shown` size;
// nothing when the point lies outside.
std::optional<QPoint> PixelAt(QPoint point, QSize shown, QSize image);

// The scroll value along one axis that keeps the picture point under `pointer` in
// place when the picture, whose left (or top) edge lies at `oldEdge` in the view,
// grows from `oldSize` to `newSize` pixels. The bar clamps the value.
int AnchoredScroll(int pointer, int oldEdge, int oldSize, int newSize);

}  // namespace zorix
