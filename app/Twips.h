#pragma once

#include <QRect>
#include <cmath>

// Layout values of the windows are kept in twips, 15 to a pixel.
namespace zorix {

constexpr double kTwipsPerPixel = 15.0;

inline int TwipsToPixels(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}
inline double PixelsToTwips(double pixels) {
    return pixels * kTwipsPerPixel;
}

// A control's place in twips, relative to its container's inner area.
struct TwipRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    bool operator==(const TwipRect&) const = default;
};

// A place in twips as the pixel rectangle a control is given.
inline QRect ToPixels(const TwipRect& r) {
    return {TwipsToPixels(r.left), TwipsToPixels(r.top), TwipsToPixels(r.width),
            TwipsToPixels(r.height)};
}

// Sizes cannot be negative; a step that would make one so is skipped.
inline bool SetSize(double& field, double value) {
    if (!(value >= 0)) {
        return false;
    }
    field = value;
    return true;
}

}  // namespace zorix
