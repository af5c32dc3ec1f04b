#include <cstdio>
#include <map>
#include <optional>

#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/ProgressReporter.h"
#include "cli/UsageError.h"
#include "engine/BatchRules.h"
#include "engine/FileFacts.h"
#include "engine/ZorixImgEngine.h"
#include "platform/FileIO.h"

namespace zorixcli {

namespace {

using quenda::IMG_SAVE_TYPES;
namespace batch = quenda::batch;

struct ConvertOptions {
    IMG_SAVE_TYPES type = quenda::IS_AUTO;
    std::string output;
    std::string outDir;
    float accuracy = 100.0f;
    int maxPalette = 0;
    bool noCopy = false;
    bool overwrite = false;
    bool json = false;
    bool quiet = false;
    std::vector<std::string> files;
};

IMG_SAVE_TYPES ParseFormat(const std::string& name) {
    static const std::map<std::string, IMG_SAVE_TYPES> kFormats = {{"rle", quenda::IS_BMP_RL},
                                                                   {"bmp24", quenda::IS_BMP_24},
                                                                   {"bmp32", quenda::IS_BMP_32},
                                                                   {"png", quenda::IS_PNG},
                                                                   {"jpg", quenda::IS_JPG}};
    const auto found = kFormats.find(name);
    if (found == kFormats.end()) {
        throw UsageError("unknown format '" + name + "' (rle, bmp24, bmp32, png or jpg)");
    }
    return found->second;
}

void TakeOption(ArgList& list, ConvertOptions& o) {
    const std::string option = list.TakeOption();
    if (option == "--to") {
        o.type = ParseFormat(list.TakeValue(option));
    } else if (option == "-o" || option == "--output") {
        o.output = list.TakeValue(option);
    } else if (option == "-d" || option == "--out-dir") {
        o.outDir = list.TakeValue(option);
    } else if (option == "--accuracy") {
        o.accuracy = ParseFloat(option, list.TakeValue(option));
        if (o.accuracy < 90.0f || o.accuracy > 100.0f) {
            throw UsageError("--accuracy must be between 90 and 100");
        }
    } else if (option == "--max-palette") {
        o.maxPalette = ParseInt(option, list.TakeValue(option));
        if (o.maxPalette < 0 || o.maxPalette > 9999) {
            throw UsageError("--max-palette must be between 0 and 9999");
        }
    } else if (option == "--no-copy" || option == "--overwrite" || option == "--json" ||
               option == "--quiet") {
        list.RejectValue(option);
        (option == "--no-copy"     ? o.noCopy
         : option == "--overwrite" ? o.overwrite
         : option == "--json"      ? o.json
                                   : o.quiet) = true;
    } else if (option != "--") {
        throw UsageError("unknown option " + option);
    }
}

ConvertOptions ParseOptions(const std::vector<std::string>& args) {
    ConvertOptions o;
    ArgList list(args);
    while (!list.Done()) {
        if (list.AtOption()) {
            TakeOption(list, o);
        } else {
            o.files.push_back(list.TakeFile());
        }
    }
    if (o.type == quenda::IS_AUTO) {
        throw UsageError("convert needs --to FORMAT");
    }
    if (o.files.empty()) {
        throw UsageError("convert needs at least one file");
    }
    if (!o.output.empty() && o.files.size() > 1) {
        throw UsageError("-o/--output takes a single input file");
    }
    if (!o.output.empty() && !o.outDir.empty()) {
        throw UsageError("-o/--output and -d/--out-dir cannot be combined");
    }
    return o;
}

std::string TargetFor(const ConvertOptions& o, const std::string& source) {
    if (!o.output.empty()) {
        return quenda::ZorixImgEngine::DestinationPath(o.output, o.type);
    }
    const std::string name = batch::TargetFileName(quenda::FileNamePart(source), o.type);
    if (!o.outDir.empty()) {
        return o.outDir + (o.outDir.back() == '/' ? "" : "/") + name;
    }
    return source.substr(0, source.size() - quenda::FileNamePart(source).size()) + name;
}

struct Outcome {
    std::string status;
    std::string reason;  // why a failure happened, when known
};

Outcome ConvertOne(quenda::ZorixImgEngine& engine, const ConvertOptions& o,
                   const std::string& source, const std::string& target) {
    bool copy = false;
    if (!o.noCopy && batch::SourceIsInTargetFormat(engine, source, o.type)) {
        if (batch::SameFile(source, target)) {
            return {batch::kSkippedSame, {}};
        }
        copy = true;
    }
    if (!o.overwrite && quenda::fileio::FileLength(target).value_or(0) > 0) {
        return {batch::kSkippedNoOverwrite, {}};
    }
    if (copy) {
        return batch::CopyFileReplacing(source, target) ? Outcome{batch::kCopyOk, {}}
                                                        : Outcome{batch::kCopyError, "copy failed"};
    }
    if (!engine.LoadImage(source)) {
        return {batch::kLoadError, engine.LastFailureReason()};
    }
    if (!engine.SaveImageAs(target, o.type)) {
        return {batch::kConvertError, engine.LastFailureReason()};
    }
    return {batch::kDone, {}};
}

void Report(const ConvertOptions& o, const std::string& source, const std::string& target,
            const Outcome& outcome) {
    const bool failed = batch::IsFailure(outcome.status);
    if (o.json) {
        std::printf("{\"source\": %s, \"target\": %s, \"status\": %s, \"ok\": %s}\n",
                    JsonString(source).c_str(), JsonString(target).c_str(),
                    JsonString(outcome.status).c_str(), JsonBool(!failed));
    } else {
        std::printf("%s -> %s: %s\n", source.c_str(), target.c_str(), outcome.status.c_str());
    }
    std::fflush(stdout);
    if (failed) {
        std::fprintf(stderr, "zorix-cli: %s: %s%s%s\n", source.c_str(), outcome.status.c_str(),
                     outcome.reason.empty() ? "" : ": ", outcome.reason.c_str());
    }
}

}  // namespace

int RunConvert(const std::vector<std::string>& args) {
    const ConvertOptions o = ParseOptions(args);
    quenda::ZorixImgEngine engine;
    engine.setRLEColorAccuracy(o.accuracy);
    engine.setRLEMaxPalleteSize(o.maxPalette);
    ProgressReporter progress(!o.quiet);
    engine.Subscribe(&progress);

    int status = kExitOk;
    for (size_t i = 0; i < o.files.size(); ++i) {
        const std::string source = o.files[i];
        const std::string target = TargetFor(o, source);
        progress.StartFile(i + 1, o.files.size(), source);
        const Outcome outcome = ConvertOne(engine, o, source, target);
        progress.Finish();
        Report(o, source, target, outcome);
        if (batch::IsFailure(outcome.status)) {
            status = kExitFileFailed;
        }
    }
    engine.Unsubscribe(&progress);
    return status;
}

}  // namespace zorixcli
