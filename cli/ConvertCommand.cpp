#include <cstdio>
#include <map>
#include <optional>

#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "cli/JobPool.h"
#include "cli/Json.h"
#include "cli/ProgressReporter.h"
#include "cli/TextEscape.h"
#include "cli/UsageError.h"
#include "engine/BatchRules.h"
#include "engine/FileFacts.h"
#include "engine/SourceGuard.h"
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
    quenda::RLEReduction reduction = quenda::RLEReduction::Classic;
    bool dither = false;
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

// A path option's value, trimmed where it enters; an empty one is a usage error.
std::string TakePath(ArgList& list, const std::string& option) {
    const std::string path = quenda::TrimBlanks(list.TakeValue(option));
    if (path.empty()) {
        throw UsageError("option " + option + " needs a path");
    }
    return path;
}

void TakeOption(ArgList& list, ConvertOptions& o) {
    const std::string option = list.TakeOption();
    if (option == "--to") {
        o.type = ParseFormat(list.TakeValue(option));
    } else if (option == "-o" || option == "--output") {
        o.output = TakePath(list, option);
    } else if (option == "-d" || option == "--out-dir") {
        o.outDir = TakePath(list, option);
    } else if (option == "--accuracy") {
        o.accuracy = ParseFloat(option, list.TakeValue(option));
        if (o.accuracy < quenda::kMinColorAccuracy || o.accuracy > quenda::kMaxColorAccuracy) {
            throw UsageError("--accuracy must be between 90 and 100");
        }
    } else if (option == "--reduction") {
        const std::string mode = list.TakeValue(option);
        if (mode != "classic" && mode != "best") {
            throw UsageError("--reduction must be classic or best");
        }
        o.reduction = mode == "best" ? quenda::RLEReduction::Best : quenda::RLEReduction::Classic;
    } else if (option == "--dither") {
        o.dither = true;
    } else if (option == "--max-palette") {
        o.maxPalette = ParseInt(option, list.TakeValue(option));
        if (o.maxPalette < 0 || o.maxPalette > quenda::kMaxPaletteLimit) {
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
            o.files.push_back(quenda::TrimBlanks(list.TakeFile()));
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

// The path the engine will write for `source`.
std::string TargetFor(const ConvertOptions& o, const std::string& source) {
    if (!o.output.empty()) {
        return quenda::ZorixImgEngine::DestinationPath(o.output, o.type);
    }
    const bool separated = o.outDir.empty() || o.outDir.back() == '/';
    const std::string folder = separated ? o.outDir : o.outDir + "/";
    return quenda::ZorixImgEngine::DestinationPath(batch::TargetPathIn(folder, source, o.type),
                                                   o.type);
}

struct Outcome {
    batch::Outcome status = batch::Outcome::Done;
    quenda::Failure failure;  // why a failure happened
};

// What running an entry does; everything else is decided while planning.
enum class Action { Report, Copy, Convert };

struct PlannedEntry {
    std::string source;
    std::string target;
    Action action = Action::Report;
    Outcome outcome;  // for Action::Report
};

// Decides one entry before anything runs, so entries that run at the same time cannot
// harm each other: the target is claimed, and a target that is a source of the run is
// refused.
PlannedEntry PlanEntry(const quenda::ZorixImgEngine& engine, const ConvertOptions& o,
                       const std::string& source, batch::TargetClaims& claims,
                       const batch::SourceGuard& guard) {
    PlannedEntry entry;
    entry.source = source;
    entry.target = TargetFor(o, source);
    bool copy = false;
    if (!o.noCopy && batch::SourceIsInTargetFormat(engine, source, o.type)) {
        if (batch::SameFile(source, entry.target)) {
            entry.outcome = {batch::Outcome::SkippedSame, {}};
            return entry;
        }
        copy = true;
    }
    // An entry that writes nothing (skipped above) claims nothing.
    if (quenda::Failure conflict = claims.Claim(source, entry.target)) {
        entry.outcome = {batch::Outcome::ConvertError, conflict};
        return entry;
    }
    if (!o.overwrite && quenda::fileio::FileLength(entry.target).value_or(0) > 0) {
        entry.outcome = {batch::Outcome::SkippedNoOverwrite, {}};
        return entry;
    }
    if (quenda::Failure harm = guard.Check(source, entry.target)) {
        entry.outcome = {copy ? batch::Outcome::CopyError : batch::Outcome::ConvertError, harm};
        return entry;
    }
    entry.action = copy ? Action::Copy : Action::Convert;
    return entry;
}

// Every entry in input order.
std::vector<PlannedEntry> PlanRun(const quenda::ZorixImgEngine& engine, const ConvertOptions& o) {
    batch::TargetClaims claims;
    const batch::SourceGuard guard(o.files);
    std::vector<PlannedEntry> plan;
    plan.reserve(o.files.size());
    for (const std::string& source : o.files) {
        plan.push_back(PlanEntry(engine, o, source, claims, guard));
    }
    return plan;
}

Outcome RunEntry(quenda::ZorixImgEngine& engine, const ConvertOptions& o,
                 const PlannedEntry& entry) {
    switch (entry.action) {
        case Action::Report:
            return entry.outcome;
        case Action::Copy:
            if (!batch::CopyFileReplacing(entry.source, entry.target)) {
                return {batch::Outcome::CopyError, quenda::fileio::LastWriteFailure()};
            }
            return {batch::Outcome::CopyOk, {}};
        case Action::Convert:
            break;
    }
    if (!engine.LoadImage(entry.source)) {
        return {batch::Outcome::LoadError, engine.LastFailure()};
    }
    if (!engine.SaveImageAs(entry.target, o.type)) {
        return {batch::Outcome::ConvertError, engine.LastFailure()};
    }
    return {batch::Outcome::Done, {}};
}

void Report(const ConvertOptions& o, const PlannedEntry& entry, const Outcome& outcome) {
    const bool failed = batch::IsFailure(outcome.status);
    const char* status = batch::OutcomeText(outcome.status);
    const std::string reason = failed ? outcome.failure.Text() : std::string();
    if (o.json) {
        std::printf(
            "{\"source\": %s, \"target\": %s, \"status\": %s, \"ok\": %s, "
            "\"reason\": %s, \"error\": %s}\n",
            JsonString(entry.source).c_str(), JsonString(entry.target).c_str(),
            JsonString(status).c_str(), JsonBool(!failed), JsonString(reason).c_str(),
            JsonString(failed ? quenda::FailureKindName(outcome.failure.kind) : "").c_str());
    } else {
        std::printf("%s -> %s: %s\n", EscapeText(entry.source).c_str(),
                    EscapeText(entry.target).c_str(), status);
    }
    std::fflush(stdout);
    if (failed) {
        std::fprintf(stderr, "zorix-cli: %s: %s%s%s\n", EscapeText(entry.source).c_str(), status,
                     reason.empty() ? "" : ": ", EscapeText(reason).c_str());
    }
}

}  // namespace

int RunConvert(const std::vector<std::string>& args) {
    const ConvertOptions o = ParseOptions(args);
    // One engine per worker; the progress line follows the engine only with one worker.
    std::vector<quenda::ZorixImgEngine> engines(
        std::max<size_t>(std::min(o.jobs, o.files.size()), 1));
    for (quenda::ZorixImgEngine& engine : engines) {
        engine.setRLEColorAccuracy(o.accuracy);
        engine.setRLEMaxPalleteSize(o.maxPalette);
        engine.setRLEReductionMode(o.reduction);
        engine.setRLEDither(o.dither);
    }
    // Planning settles every conflict between entries, so they can run side by side.
    const std::vector<PlannedEntry> plan = PlanRun(engines[0], o);
    const JobPlan jobs{plan.size(), engines.size()};
    const bool oneWorker = jobs.workers == 1;
    ProgressReporter progress(!o.quiet);
    if (oneWorker) {
        engines[0].Subscribe(&progress);
    }

    std::vector<Outcome> outcomes(plan.size());
    int status = kExitOk;
    RunJobs(
        jobs,
        [&](size_t worker, size_t i) {
            if (oneWorker) {
                progress.StartFile(i + 1, plan.size(), plan[i].source);
            }
            outcomes[i] = RunEntry(engines[worker], o, plan[i]);
        },
        [&](size_t i) {
            if (!oneWorker) {
                progress.StartFile(i + 1, plan.size(), plan[i].source);
            }
            progress.Finish();
            Report(o, plan[i], outcomes[i]);
            if (batch::IsFailure(outcomes[i].status)) {
                status = kExitFileFailed;
            }
        });
    if (oneWorker) {
        engines[0].Unsubscribe(&progress);
    }
    return status;
}

}  // namespace zorixcli
