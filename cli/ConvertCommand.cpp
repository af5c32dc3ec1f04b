#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>

#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "cli/JobPool.h"
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
    size_t jobs = DefaultJobCount();
    std::vector<std::string> files;
};

constexpr int kMaxJobs = 256;

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
    } else if (option == "-j" || option == "--jobs") {
        const int jobs = ParseInt(option, list.TakeValue(option));
        if (jobs < 1 || jobs > kMaxJobs) {
            throw UsageError(option + " must be between 1 and " + std::to_string(kMaxJobs));
        }
        o.jobs = static_cast<size_t>(jobs);
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

// The file an entry reads or writes, with links and "." resolved, so that two names of
// one file compare equal.
std::string FileIdentity(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, ec);
    return ec ? std::filesystem::absolute(path, ec).lexically_normal().string() : resolved.string();
}

// Each entry waits for the earlier entries that touch one of its files, so running
// entries side by side gives the outcomes of running them in order.
std::vector<std::vector<size_t>> EarlierEntriesSharingFiles(
    const std::vector<std::string>& sources, const std::vector<std::string>& targets) {
    std::map<std::string, size_t> lastToucher;
    std::vector<std::vector<size_t>> after(sources.size());
    for (size_t i = 0; i < sources.size(); ++i) {
        for (const std::string& path : {sources[i], targets[i]}) {
            const auto [it, fresh] = lastToucher.try_emplace(FileIdentity(path), i);
            if (!fresh && it->second != i) {  // a source may be its own target
                after[i].push_back(it->second);
                it->second = i;
            }
        }
    }
    return after;
}

}  // namespace

int RunConvert(const std::vector<std::string>& args) {
    const ConvertOptions o = ParseOptions(args);
    const size_t count = o.files.size();
    std::vector<std::string> targets;
    for (const std::string& source : o.files) {
        targets.push_back(TargetFor(o, source));
    }
    JobPlan plan{count, std::min(o.jobs, count), {}};
    if (plan.workers > 1) {
        plan.after = EarlierEntriesSharingFiles(o.files, targets);
    }
    // One engine per worker; the progress line follows the engine only with one worker.
    std::vector<quenda::ZorixImgEngine> engines(std::max<size_t>(plan.workers, 1));
    ProgressReporter progress(!o.quiet);
    for (quenda::ZorixImgEngine& engine : engines) {
        engine.setRLEColorAccuracy(o.accuracy);
        engine.setRLEMaxPalleteSize(o.maxPalette);
    }
    if (plan.workers == 1) {
        engines[0].Subscribe(&progress);
    }

    std::vector<Outcome> outcomes(count);
    int status = kExitOk;
    RunJobs(
        plan,
        [&](size_t worker, size_t i) {
            if (plan.workers == 1) {
                progress.StartFile(i + 1, count, o.files[i]);
            }
            outcomes[i] = ConvertOne(engines[worker], o, o.files[i], targets[i]);
        },
        [&](size_t i) {
            if (plan.workers > 1) {
                progress.StartFile(i + 1, count, o.files[i]);
            }
            progress.Finish();
            Report(o, o.files[i], targets[i], outcomes[i]);
            if (batch::IsFailure(outcomes[i].status)) {
                status = kExitFileFailed;
            }
        });
    if (plan.workers == 1) {
        engines[0].Unsubscribe(&progress);
    }
    return status;
}

}  // namespace zorixcli
