#include "app/WindowLimits.h"

#include <algorithm>

namespace zorix {

namespace {

constexpr double kMargin = 30;             // twips
constexpr double kMinPreviewWidth = 900;   // twips
constexpr double kMinFileList = 900 + 15;  // what a drag of the bar keeps below it
constexpr int kGrabStrip = 30;             // pixels at the top of a window
constexpr int kGrabWidth = 100;

}  // namespace

TwipSize MinimumInnerSize(const ExplorerGeometry& g, double headerRight) {
    const double column = g.drive.left + g.drive.width + g.vmove.width;
    const double width = std::max(column + kMinPreviewWidth + kMargin, headerRight + kMargin);
    const double belowFolders = g.dir.top + g.dir.height + g.hmove.height + kMinFileList;
    const double height = belowFolders + g.status.height + kMargin;
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
