#include "CliRunner.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>

namespace clitest {

std::string Quote(const std::string& s) {
    return "'" + s + "'";
}

CliRun Cli(const std::string& args, bool keepErrors) {
    CliRun r;
    const std::string command =
        std::string(ZORIX_CLI_PATH) + " " + args + (keepErrors ? " 2>&1" : " 2>/dev/null");
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        return r;
    }
    std::array<char, 4096> buffer{};
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        r.out.append(buffer.data(), n);
    }
    const int raw = pclose(pipe);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}

}  // namespace clitest
