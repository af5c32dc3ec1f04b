#pragma once

#include <sys/types.h>

#include <string>

namespace quenda::fileio {

// Temporary files of a save are named ".zorix-HHHHHHHH-PID-N.tmp" beside the file they
// will replace: HHHHHHHH is a hash of that file's name, so a later save to the same
// destination finds the leftovers of a killed process; PID tells whether their owner
// still lives. The names stay short whatever the destination's name.

// ".zorix-HHHHHHHH-" for a destination's file name.
std::string TempNamePrefix(const std::string& destinationName);
std::string TempName(const std::string& destinationName, pid_t owner, unsigned serial);

// Removes, in the open folder, the temporary files of `destinationName` whose owner
// process is gone and which nobody holds locked.
void RemoveStaleTempFiles(int folderFd, const std::string& destinationName);

}  // namespace quenda::fileio
