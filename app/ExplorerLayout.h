#pragma once

#include "app/Twips.h"

namespace zorix {

// Space between the window's edge and the controls along it.
constexpr double kExplorerMargin = 30;
// Neither list may get shorter than this by a drag of the horizontal bar.
constexpr double kMinListHeight = 900;
// What a drag of that bar keeps between the file list and the information line.
constexpr double kFileListSlack = 15;

// The main window's controls in twips; the resize and splitter rules work on it.
struct ExplorerGeometry {
    double scaleWidth = 0;  // the window's inner size
    double scaleHeight = 0;
    double windowWidth = 0;  // what the header strip spans
    TwipRect topBg;
    TwipRect topStripe;
    TwipRect drive;   // Drive1
    TwipRect dir;     // Dir1
    TwipRect hmove;   // splitter between folder and file list
    TwipRect llist;   // file list
    TwipRect vmove;   // splitter between explorer column and preview
    TwipRect bkg;     // preview area
    TwipRect status;  // information line
};

// The design geometry of the window at the given inner size (before any resize).
ExplorerGeometry DesignGeometry();

// The resize rules of the explorer controls (the preview has its own).
void ResizeExplorer(ExplorerGeometry& g);

// The column width follows a drag of the vertical bar by dx twips.
void DragVmove(ExplorerGeometry& g, double dx);

// The folder list height follows a drag of the horizontal bar by dy twips; false
// when the move would leave either list shorter than kMinListHeight.
bool DragHmove(ExplorerGeometry& g, double dy);
// At the end of a drag the bar snaps to the folder list's bottom.
void EndHmoveDrag(ExplorerGeometry& g);

// Places the file list below the horizontal bar, down to the information line.
void PlaceFileList(ExplorerGeometry& g);

}  // namespace zorix
