#include "app/ViewScrolling.h"

#include <algorithm>

namespace zorix {

namespace {

void MoveBy(ScrollAxis& axis, long long delta) {
    axis.value = ClampScroll(axis, axis.value + delta);
}

// The axis that Home and End act on.
ScrollAxis& MainAxis(ScrollState& s) {
    return s.v.shown || !s.h.shown ? s.v : s.h;
}

}  // namespace

int ClampScroll(const ScrollAxis& axis, long long value) {
    if (!axis.shown || axis.max <= 0) {
        return 0;
    }
    return static_cast<int>(std::clamp<long long>(value, 0, axis.max));
}

ScrollState WheelScroll(ScrollState s, int dx, int dy, bool shift, int pixelsPerNotch) {
    const long long horizontal = shift ? static_cast<long long>(dx) + dy : dx;
    const long long vertical = shift ? 0 : dy;
    MoveBy(s.h, -horizontal * pixelsPerNotch / kWheelNotch);
    MoveBy(s.v, -vertical * pixelsPerNotch / kWheelNotch);
    return s;
}

ScrollState PanScroll(ScrollState atGrab, int dx, int dy) {
    MoveBy(atGrab.h, -static_cast<long long>(dx));
    MoveBy(atGrab.v, -static_cast<long long>(dy));
    return atGrab;
}

ScrollState KeyScroll(ScrollState s, ScrollKey key, int step) {
    switch (key) {
        case ScrollKey::Left:
            MoveBy(s.h, -step);
            break;
        case ScrollKey::Right:
            MoveBy(s.h, step);
            break;
        case ScrollKey::Up:
            MoveBy(s.v, -step);
            break;
        case ScrollKey::Down:
            MoveBy(s.v, step);
            break;
        case ScrollKey::PageUp:
            MoveBy(MainAxis(s), -std::max(1, MainAxis(s).page));
            break;
        case ScrollKey::PageDown:
            MoveBy(MainAxis(s), std::max(1, MainAxis(s).page));
            break;
        case ScrollKey::Home:
            MainAxis(s).value = 0;
            break;
        case ScrollKey::End:
            MainAxis(s).value = ClampScroll(MainAxis(s), MainAxis(s).max);
            break;
    }
    return s;
}

}  // namespace zorix
