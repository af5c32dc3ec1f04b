#pragma once

#include <cstdint>

#include "imaging/AlphaBlend.h"
#include "imaging/PixelView.h"
#include "imaging/Surface.h"

namespace quenda {

enum class ScaleFilter {
    Nearest,
    Bilinear,  // the library's own corner-aligned bilinear
    Bicubic,   // high quality
};

// One drawing of a source rectangle into a target rectangle of a surface. Target
// sizes are signed: a negative size mirrors that axis. Everything outside the
// surface is clipped; nothing is written outside it.
struct DrawJob {
    PixelView source;
    int64_t destX = 0;
    int64_t destY = 0;
    int64_t destWidth = 0;
    int64_t destHeight = 0;
    ScaleFilter filter = ScaleFilter::Bilinear;
    BlendParams blend;
    ColorEffects effects;
    double angle = 0.0;  // degrees, clockwise on screen, about the target's centre
};

// Draws the job onto the surface. False only when the work could not be done
// (no memory, invalid arguments); a target wholly off the surface draws nothing
// and is a success.
bool ExecuteDraw(const DrawJob& job, const Surface& dest);

// True when the angle turns the picture (not a whole multiple of 360 degrees).
bool IsRotation(double angle);

}  // namespace quenda
