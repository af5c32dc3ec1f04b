#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Usage.h"
#include "cli/UsageError.h"

namespace {

// "--help" among a command's options (before a "--" that ends them).
bool AsksForHelp(const std::vector<std::string>& args) {
    const auto end = std::find(args.begin(), args.end(), "--");
    return std::find(args.begin(), end, "--help") != end;
}

int PrintTo(FILE* stream, const std::string& text, int status) {
    std::fputs(text.c_str(), stream);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zorixcli;
    if (argc < 2) {
        return PrintTo(stderr, ToolUsage(), kExitUsage);
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        return PrintTo(stdout, ToolUsage(), kExitOk);
    }
    if (command == "--version") {
        return PrintTo(stdout, VersionLine() + "\n", kExitOk);
    }
    if (!CommandUsage(command).empty() && AsksForHelp(args)) {
        return PrintTo(stdout, CommandUsage(command), kExitOk);
    }
    try {
        if (command == "info") {
            return RunInfo(args);
        }
        if (command == "convert") {
            return RunConvert(args);
        }
        if (command == "decode") {
            return RunDecode(args);
        }
        throw UsageError("unknown command '" + command + "'");
    } catch (const UsageError& e) {
        std::fprintf(stderr, "zorix-cli: %s\n", e.what());
        return kExitUsage;
    }
}
