#pragma once

#include <map>
#include <string>

#include "engine/ZorixImgEngine.h"
#include "imaging/Failure.h"

// Rules of converting a list of files into one target format.
namespace quenda::batch {

// How the conversion of one entry ended.
enum class Outcome {
    Done,
    CopyOk,
    SkippedSame,         // the source is already the target
    SkippedNoOverwrite,  // the target exists and may not be replaced
    CopyError,
    LoadError,
    ConvertError,
};

// The row text of an outcome: "done", "error loading image", ...
const char* OutcomeText(Outcome outcome);

// True for the outcomes that count as a failure.
bool IsFailure(Outcome outcome);
// True for the outcomes that leave the target as it was without a failure.
bool IsSkipped(Outcome outcome);

// "bmp", "png" or "jpg"; empty for IS_AUTO.
std::string TargetExtension(IMG_SAVE_TYPES type);

// Source file name up to its last "." followed by the target extension (a name
// without "." keeps its whole name).
std::string TargetFileName(const std::string& sourceName, IMG_SAVE_TYPES type);

// The target of `source` in `folder` (ending in a separator), or beside the source
// when `folder` is empty.
std::string TargetPathIn(const std::string& folder, const std::string& source, IMG_SAVE_TYPES type);

// True when the source already holds the target format and can be copied.
bool SourceIsInTargetFormat(const ZorixImgEngine& engine, const std::string& source,
                            IMG_SAVE_TYPES type);

// True when both paths name the same file.
bool SameFile(const std::string& a, const std::string& b);

// Copies a file through a temporary file beside the target; the failure is in
// fileio::LastWriteFailure.
bool CopyFileReplacing(const std::string& source, const std::string& target);

// Decides, in list order, which entry may write each target: the first claim
// wins, so two entries of one run never write over each other.
class TargetClaims {
  public:
    // No failure when `target` was free (it is now held by `source`); otherwise a
    // conflict naming the entry that holds the target.
    Failure Claim(const std::string& source, const std::string& target);

  private:
    std::map<std::string, std::string> holders_;  // target key -> source
};

}  // namespace quenda::batch
