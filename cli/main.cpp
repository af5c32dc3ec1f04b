#include <cstdio>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/UsageError.h"

namespace {

const char* const kUsage =
    "usage: zorix-cli info [--json] FILE...\n"
    "       zorix-cli convert --to rle|bmp24|bmp32|png|jpg [-o PATH | -d DIR]\n"
    "                 [--accuracy A] [--max-palette N] [--no-copy] [--overwrite]\n"
    "                 [--json] [--quiet] [-j N] FILE...\n"
    "       zorix-cli decode FILE -o OUTPUT\n";

}  // namespace

int main(int argc, char** argv) {
    using namespace zorixcli;
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
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
        if (command == "--help" || command == "-h" || command == "help") {
            std::fputs(kUsage, stdout);
            return kExitOk;
        }
        throw UsageError("unknown command '" + command + "'");
    } catch (const UsageError& e) {
        std::fprintf(stderr, "zorix-cli: %s\n", e.what());
        return kExitUsage;
    }
}
