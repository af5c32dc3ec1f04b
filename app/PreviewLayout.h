#pragma once

#include "app/Twips.h"

namespace zorix {

// A scroll bar of the preview: place in twips, range and value in pixels.
struct ScrollBarState {
    TwipRect rect;
    bool visible = false;
    int min = 0;
    int max = 0;
    int value = 0;
};

// The preview area and what it holds, in twips relative to its inner area.
struct PreviewGeometry {
    double outerWidth = 0;  // bkg with its border
    double outerHeight = 0;
    double innerWidth = 0;  // bkg's scale size
    double innerHeight = 0;
    TwipRect image;   // trgPIC; its size is the shown picture's
    TwipRect badpic;  // the invalid-file picture
    TwipRect corner;  // the square between the two bars
    bool cornerVisible = false;
    ScrollBarState hsb;
    ScrollBarState vsb;
};

// Places the image (centred, or at 0 along an axis that scrolls) and sets the bars'
// ranges, values (0) and visibility.
void LayoutImage(PreviewGeometry& p);
// Places both bars along the edges, the corner square and the invalid-file picture.
void PlaceBars(PreviewGeometry& p);
// The image position for a scroll bar value in pixels.
double ScrollOffset(int value);

}  // namespace zorix
