#pragma once

#include <string>
#include <vector>

namespace zorixcli {

// Each command takes the arguments after its name and returns the exit status.
// Usage errors are thrown as UsageError.
int RunInfo(const std::vector<std::string>& args);
int RunConvert(const std::vector<std::string>& args);
int RunDecode(const std::vector<std::string>& args);

}  // namespace zorixcli
