#pragma once

#include <Qt>

// The Button and Shift arguments of the controls' mouse events: bit 1 left, 2 right,
// 4 middle; bit 1 Shift, 2 Ctrl, 4 Alt.
namespace MouseArgs {

inline int ButtonOf(Qt::MouseButtons buttons) {
    int b = 0;
    b |= (buttons & Qt::LeftButton) ? 1 : 0;
    b |= (buttons & Qt::RightButton) ? 2 : 0;
    b |= (buttons & Qt::MiddleButton) ? 4 : 0;
    return b;
}

inline int ShiftOf(Qt::KeyboardModifiers mods) {
    int s = 0;
    s |= (mods & Qt::ShiftModifier) ? 1 : 0;
    s |= (mods & Qt::ControlModifier) ? 2 : 0;
    s |= (mods & Qt::AltModifier) ? 4 : 0;
    return s;
}

}  // namespace MouseArgs
