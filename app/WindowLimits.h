#pragma once

#include <QList>
#include <QRect>
#include <QSize>

#include "app/ExplorerLayout.h"

// How small the main window may get, and where a window that lies on no screen goes.
namespace zorix {

struct TwipSize {
    double width = 0;
    double height = 0;
};

// Smallest inner size, in twips, at which no control overlaps another: the explorer
// column with a minimal preview beside it and the save buttons above, the folder
// list with the shortest file list a drag of the bar allows below it.
TwipSize MinimumInnerSize(const ExplorerGeometry& g, double headerRight);

// The window's frame `frame` is kept where it is when enough of it (its top strip,
// where it is grabbed) lies on one of `screens`; otherwise it is centred on
// `primary`, shrunk to fit there. All in pixels.
QRect KeepOnScreen(const QRect& frame, const QList<QRect>& screens, const QRect& primary);

}  // namespace zorix
