#pragma once

#include <map>
#include <string>

#include "engine/ZorixImgEngine.h"

// Rules of converting a list of files into one target format.
namespace quenda::batch {

// Row texts of a conversion's outcome.
inline constexpr const char* kDone = "done";
inline constexpr const char* kCopyOk = "copy ok (no conversion)";
inline constexpr const char* kSkippedSame = "skipped (no conversion)";
inline constexpr const char* kSkippedNoOverwrite = "skipped (no overwrite)";
inline constexpr const char* kCopyError = "copy error (no conversion)";
inline constexpr const char* kLoadError = "error loading image";
inline constexpr const char* kConvertError = "error converting image";

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

// Copies a file through a temporary file beside the target; the reason of a failure
// is in fileio::LastWriteError.
bool CopyFileReplacing(const std::string& source, const std::string& target);

// Decides, in list order, which entry may write each target: the first claim
// wins, so two entries of one run never write over each other.
class TargetClaims {
  public:
    // Empty when `target` was free (it is now held by `source`); otherwise the
    // reason for refusing, naming the entry that holds the target.
    std::string Claim(const std::string& source, const std::string& target);

  private:
    std::map<std::string, std::string> holders_;  // target key -> source
};

// True for the outcomes that count as a failure.
bool IsFailure(const std::string& status);

}  // namespace quenda::batch
