#include "engine/BatchRules.h"

#include <filesystem>
#include <system_error>

#include "engine/FileFacts.h"
#include "platform/FileIO.h"

namespace quenda::batch {

namespace fs = std::filesystem;

const char* OutcomeText(Outcome outcome) {
    switch (outcome) {
        case Outcome::Done:
            return "done";
        case Outcome::CopyOk:
            return "copy ok (no conversion)";
        case Outcome::SkippedSame:
            return "skipped (no conversion)";
        case Outcome::SkippedNoOverwrite:
            return "skipped (no overwrite)";
        case Outcome::CopyError:
            return "copy error (no conversion)";
        case Outcome::LoadError:
            return "error loading image";
        case Outcome::ConvertError:
            return "error converting image";
    }
    return "";
}

bool IsFailure(Outcome outcome) {
    return outcome == Outcome::CopyError || outcome == Outcome::LoadError ||
           outcome == Outcome::ConvertError;
}

bool IsSkipped(Outcome outcome) {
    return outcome == Outcome::SkippedSame || outcome == Outcome::SkippedNoOverwrite;
}

std::string TargetExtension(IMG_SAVE_TYPES type) {
    switch (type) {
        case IS_BMP_RL:
        case IS_BMP_24:
        case IS_BMP_32:
            return "bmp";
        case IS_PNG:
            return "png";
        case IS_JPG:
            return "jpg";
        case IS_AUTO:
            break;
    }
    return {};
}

std::string TargetFileName(const std::string& sourceName, IMG_SAVE_TYPES type) {
    return ReplaceExtension(sourceName, TargetExtension(type));
}

std::string TargetPathIn(const std::string& folder, const std::string& source,
                         IMG_SAVE_TYPES type) {
    return (folder.empty() ? FolderPart(source) : folder) +
           TargetFileName(FileNamePart(source), type);
}

bool SourceIsInTargetFormat(const ZorixImgEngine& engine, const std::string& source,
                            IMG_SAVE_TYPES type) {
    switch (type) {
        case IS_BMP_RL:
            return engine.IsRLE(source);
        case IS_PNG:
            return engine.IsPNG(source);
        case IS_JPG:
            return engine.IsJPG(source);
        default:
            return false;
    }
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (fs::equivalent(a, b, ec) && !ec) {
        return true;
    }
    return fs::absolute(a, ec).lexically_normal() == fs::absolute(b, ec).lexically_normal();
}

bool CopyFileReplacing(const std::string& source, const std::string& target) {
    return fileio::CopyFileReplacing(source, target);
}

namespace {

// Existing folders and links resolve, so two spellings of one file meet.
std::string TargetKey(const std::string& target) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(target, ec);
    const fs::path resolved = fs::weakly_canonical(absolute, ec);
    return (ec ? absolute.lexically_normal() : resolved).string();
}

}  // namespace

Failure TargetClaims::Claim(const std::string& source, const std::string& target) {
    const auto [held, inserted] = holders_.emplace(TargetKey(target), source);
    if (inserted) {
        return {};
    }
    return Failure::Of(FailureKind::Conflict, held->second);
}

}  // namespace quenda::batch
