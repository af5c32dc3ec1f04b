#pragma once

#include <QImage>
#include <QRegion>
#include <QtGlobal>

// A window shape made of every pixel of a drawn surface whose colour differs from the
// mask colour, built row by row from runs of pixels. With fullRect the whole rectangle
// is returned instead.
namespace RegionBuilder {

QRegion Build(const QImage& surface, quint32 maskColor, bool fullRect = false);

}  // namespace RegionBuilder
