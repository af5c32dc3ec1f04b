#pragma once

#include "gimp/GimpOutcome.h"
#include "gimp/RleExportOptions.h"

namespace zorixgimp {

// Writes the drawable as a device bitmap: the bytes zorix-cli writes for the same pixels
// and options. An existing file is replaced only by a complete new one.
GimpOutcome SaveDeviceBitmap(gint32 drawable, const char* fileName,
                             const RleExportOptions& options);

}  // namespace zorixgimp
