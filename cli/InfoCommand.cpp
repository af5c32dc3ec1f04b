#include <cstdio>

#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/TextEscape.h"
#include "cli/UsageError.h"
#include "engine/FileFacts.h"
#include "engine/InfoLine.h"
#include "engine/ZorixImgEngine.h"
#include "platform/FileIO.h"

namespace zorixcli {

namespace {

void PrintJson(const quenda::ZorixImgEngine& engine, const std::string& path, bool ok) {
    const uint64_t size = quenda::fileio::FileLength(path).value_or(0);
    std::printf(
        "{\"path\": %s, \"ok\": %s, \"type\": %s, \"load_type\": %d, \"width\": %d, "
        "\"height\": %d, \"alpha\": %s, \"rle_colors\": %d, \"file_size\": %llu, "
        "\"reason\": %s, \"error\": %s}\n",
        JsonString(path).c_str(), JsonBool(ok), JsonString(engine.ImageTypeDesc()).c_str(),
        static_cast<int>(engine.ImageType()), engine.ImageWidth(), engine.ImageHeight(),
        JsonBool(engine.ImageHasAlpha()), engine.RLEColors(), static_cast<unsigned long long>(size),
        JsonString(ok ? std::string() : engine.LastFailureReason()).c_str(),
        JsonString(ok ? "" : quenda::FailureKindName(engine.LastFailure().kind)).c_str());
}

}  // namespace

int RunInfo(const std::vector<std::string>& args) {
    bool json = false;
    std::vector<std::string> files;
    ArgList list(args);
    while (!list.Done()) {
        if (!list.AtOption()) {
            files.push_back(quenda::TrimBlanks(list.TakeFile()));
            continue;
        }
        const std::string option = list.TakeOption();
        if (option == "--json") {
            list.RejectValue(option);
            json = true;
        } else if (option != "--") {
            throw UsageError("unknown option " + option);
        }
    }
    if (files.empty()) {
        throw UsageError("info needs at least one file");
    }

    quenda::ZorixImgEngine engine;
    int status = kExitOk;
    for (const std::string& path : files) {
        const bool ok = engine.LoadImage(path);
        if (!ok) {
            status = kExitFileFailed;
            std::fprintf(stderr, "zorix-cli: %s: cannot load: %s\n", EscapeText(path).c_str(),
                         EscapeText(engine.LastFailureReason()).c_str());
        }
        if (json) {
            PrintJson(engine, path, ok);
        } else {
            std::printf("%s: %s\n", EscapeText(path).c_str(),
                        ok ? quenda::InformationLine(engine).c_str() : "Invalid image file");
        }
        std::fflush(stdout);
    }
    return status;
}

}  // namespace zorixcli
