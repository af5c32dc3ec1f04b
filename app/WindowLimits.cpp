#include "app/WindowLimits.h"

#include <algorithm>

namespace zorix {

namespace {

constexpr double kMinPreviewWidth = 900;  // twips
// What a drag of the bar keeps below it.
constexpr double kMinFileList = kMinListHeight + kFileListSlack;
constexpr int kGrabStrip = 30;  // pixels at the top of a window
constexpr int kGrabWidth = 100;

}  // namespace

TwipSize MinimumInnerSize(const ExplorerGeometry& g, double headerRight) {
    const double column = g.drive.left + g.drive.width + g.vmove.width;
    const double width =
        std::max(column + kMinPreviewWidth + kExplorerMargin, headerRight + kExplorerMargin);
    const double belowFolders = g.dir.top + g.dir.height + g.hmove.height + kMinFileList;
    const double height = belowFolders + g.status.height + kExplorerMargin;
    return {width, height};
}

QRect KeepOnScreen(const QRect& frame, const QList<QRect>& screens, const QRect& primary) {
    const QRect strip(frame.left(), frame.top(), frame.width(),
                      std::min(kGrabStrip, frame.height()));
    for (const QRect& screen : screens) {
        const QRect shared = strip & screen;
        if (!shared.isEmpty() && shared.width() >= std::min(kGrabWidth, frame.width()) &&
            shared.height() >= strip.height()) {
            return frame;
        }
    }
    const QSize size = frame.size().boundedTo(primary.size());
    return {primary.left() + (primary.width() - size.width()) / 2,
            primary.top() + (primary.height() - size.height()) / 2, size.width(), size.height()};
}

}  // namespace zorix
