#include "app/PreviewLayout.h"

#include "app/modSettings.h"

namespace zorix {

namespace {

int ScrollRange(double imageSize, double visibleSize) {
    return static_cast<int>(RoundHalfEven((imageSize - visibleSize) / kTwipsPerPixel));
}

void ShowBar(ScrollBarState& bar, int max) {
    bar.min = 0;
    bar.max = max;
    bar.value = 0;
    bar.visible = true;
}

}  // namespace

void LayoutImage(PreviewGeometry& p) {
    const double w = p.image.width;
    const double h = p.image.height;
    bool needV = h > p.innerHeight;
    const bool needH = needV ? w > p.innerWidth - p.vsb.rect.width : w > p.innerWidth;
    if (needH && !needV) {
        needV = h > p.innerHeight - p.hsb.rect.height;
    }

    if (needV) {
        p.image.top = 0;
        ShowBar(p.vsb, ScrollRange(h, p.innerHeight - (needH ? p.hsb.rect.height : 0)));
    } else {
        p.image.top = p.outerHeight / 2 - h / 2 - (needH ? p.hsb.rect.height / 2 : 0);
        p.vsb.visible = false;
    }

    if (needH) {
        p.image.left = 0;
        ShowBar(p.hsb, ScrollRange(w, p.innerWidth - (needV ? p.vsb.rect.width : 0)));
    } else {
        // Centred on the whole width, the vertical bar not taken into account.
        p.image.left = p.outerWidth / 2 - w / 2;
        p.hsb.visible = false;
    }
}

void PlaceBars(PreviewGeometry& p) {
    p.vsb.rect.top = 0;
    p.vsb.rect.left = p.innerWidth - p.vsb.rect.width;
    SetSize(p.vsb.rect.height, p.hsb.visible ? p.innerHeight - p.hsb.rect.height : p.innerHeight);

    p.hsb.rect.left = 0;
    p.hsb.rect.top = p.innerHeight - p.hsb.rect.height;
    SetSize(p.hsb.rect.width, p.vsb.visible ? p.innerWidth - p.vsb.rect.width : p.innerWidth);

    p.corner.top = p.vsb.rect.height;
    p.corner.left = p.hsb.rect.width;
    p.cornerVisible = p.hsb.visible && p.vsb.visible;

    p.badpic.left = p.outerWidth / 2 - p.badpic.width / 2;
    p.badpic.top = p.outerHeight / 2 - p.badpic.height / 2;
}

double ScrollOffset(int value) {
    return -PixelsToTwips(value);
}

}  // namespace zorix
