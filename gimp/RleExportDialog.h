#pragma once

#include "gimp/RleExportOptions.h"

namespace zorixgimp {

// Asks for the palette options of an interactive export, starting from `options`.
// False when the user cancels.
bool RunExportDialog(RleExportOptions& options);

}  // namespace zorixgimp
