#pragma once

#include <string>

namespace zorixcli {

// The usage text of one command ("info", "convert", "decode"), or an empty text for a
// name that is not a command.
std::string CommandUsage(const std::string& command);
// The usage of every command, as printed by "zorix-cli --help".
std::string ToolUsage();
// "zorix-cli MAJOR.MINOR.REVISION".
std::string VersionLine();

}  // namespace zorixcli
