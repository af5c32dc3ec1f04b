#pragma once

#include "gimp/GimpOutcome.h"

namespace zorixgimp {

// Opens a device bitmap as a new image with one RGBA layer of the engine's pixels.
GimpOutcome LoadDeviceBitmap(const char* fileName);

}  // namespace zorixgimp
