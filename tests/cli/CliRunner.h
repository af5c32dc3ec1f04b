#pragma once

#include <string>

namespace clitest {

struct CliRun {
    int status = -1;
    std::string out;
};

// The argument quoted for the shell (names holding "'" are not used by the tests).
std::string Quote(const std::string& s);

// Runs zorix-cli with the arguments through the shell; stderr is discarded, or kept in
// `out` after the standard output lines it follows.
CliRun Cli(const std::string& args, bool keepErrors = false);

}  // namespace clitest
