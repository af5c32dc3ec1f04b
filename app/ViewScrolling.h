#pragma once

// How the mouse wheel, a drag and the keyboard move the preview's scroll bars.
// Values are scroll bar values in pixels; an axis without a bar does not move.
namespace zorix {

struct ScrollAxis {
    bool shown = false;
    int max = 0;  // the bar's range is 0..max
    int value = 0;
    int page = 0;  // visible length, pixels
};

struct ScrollState {
    ScrollAxis h;
    ScrollAxis v;
};

// One notch of a wheel, in the units the window system reports.
constexpr int kWheelNotch = 120;

// A value kept within the axis' range; 0 when the axis has no bar.
int ClampScroll(const ScrollAxis& axis, long long value);

// The wheel turned by (dx, dy) notch units moves by `pixelsPerNotch` per notch; up
// or left (positive) shows what lies above or to the left. With Shift the vertical
// wheel scrolls horizontally.
ScrollState WheelScroll(ScrollState s, int dx, int dy, bool shift, int pixelsPerNotch);

// A drag that started at the values of `atGrab` and has moved the pointer by
// (dx, dy) pixels: the picture follows the pointer.
ScrollState PanScroll(ScrollState atGrab, int dx, int dy);

enum class ScrollKey { Left, Right, Up, Down, PageUp, PageDown, Home, End };

// A key moves by `step` pixels, a page by the visible length; Home and End go to
// the start and the end of the vertical range (of the horizontal one without it).
ScrollState KeyScroll(ScrollState s, ScrollKey key, int step);

}  // namespace zorix
