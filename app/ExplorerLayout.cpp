#include "app/ExplorerLayout.h"

#include "app/modSettings.h"

namespace zorix {

namespace {

constexpr double kBarThickness = 60;

}  // namespace

ExplorerGeometry DesignGeometry() {
    ExplorerGeometry g;
    g.scaleWidth = 11400;
    g.scaleHeight = 7650;
    g.windowWidth = g.scaleWidth;
    g.topBg = {0, 0, g.scaleWidth, 330};
    g.topStripe = {0, 330, g.scaleWidth, 45};
    g.drive = {kExplorerMargin, 405, 3105, 315};
    g.dir = {kExplorerMargin, 735, 3105, 1665};
    g.hmove = {kExplorerMargin, 2400, 3105, kBarThickness};
    g.llist = {kExplorerMargin, 2460, 3105, 4830};
    g.vmove = {3135, 405, kBarThickness, 6885};
    g.bkg = {3195, 405, 8175, 6900};
    g.status = {kExplorerMargin, 7335, 11340, 285};
    return g;
}

void PlaceFileList(ExplorerGeometry& g) {
    g.llist.top = g.hmove.top + g.hmove.height;
    SetSize(g.llist.height, g.status.top - g.llist.top - 45);
}

void ResizeExplorer(ExplorerGeometry& g) {
    SetSize(g.topBg.width, g.windowWidth);
    SetSize(g.topStripe.width, g.windowWidth);

    SetSize(g.status.width, g.scaleWidth - 2 * g.status.left);
    g.status.top = g.scaleHeight - g.status.height - g.status.left;

    SetSize(g.dir.width, g.drive.width);
    SetSize(g.llist.width, g.drive.width);

    g.vmove.width = kBarThickness;
    g.vmove.left = g.drive.left + g.drive.width;
    g.vmove.top = g.drive.top;
    SetSize(g.vmove.height, g.status.top - g.vmove.top - 45);

    g.bkg.left = g.vmove.left + g.vmove.width;
    SetSize(g.bkg.height, g.status.top - g.bkg.top - 30);
    SetSize(g.bkg.width, g.scaleWidth - g.bkg.left - g.status.left);

    SetSize(g.hmove.width, g.dir.width);
    g.hmove.height = kBarThickness;
    g.hmove.left = g.dir.left;
    g.hmove.top = g.dir.top + g.dir.height;

    PlaceFileList(g);
}

void DragVmove(ExplorerGeometry& g, double dx) {
    g.vmove.left += dx;
    const double w = RoundHalfEven(g.vmove.left - g.drive.left);
    SetSize(g.drive.width, w);
    SetSize(g.dir.width, w);
    SetSize(g.llist.width, w);
    SetSize(g.hmove.width, g.dir.width);
    g.bkg.left = g.vmove.left + g.vmove.width;
    SetSize(g.bkg.width, g.scaleWidth - g.bkg.left - g.status.left);
}

bool DragHmove(ExplorerGeometry& g, double dy) {
    const double newTop = g.hmove.top + dy;
    if (RoundHalfEven(newTop - g.dir.top) < kMinListHeight) {
        return false;
    }
    if (RoundHalfEven(g.status.top - (newTop + g.hmove.height) - kFileListSlack) < kMinListHeight) {
        return false;
    }
    if (newTop == g.hmove.top) {
        return false;
    }
    g.hmove.top = newTop;
    SetSize(g.dir.height, g.hmove.top - g.dir.top);
    PlaceFileList(g);
    return true;
}

void EndHmoveDrag(ExplorerGeometry& g) {
    g.hmove.top = g.dir.top + g.dir.height;
    PlaceFileList(g);
}

}  // namespace zorix
