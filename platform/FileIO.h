#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "imaging/Failure.h"
#include "imaging/ImageLimits.h"

namespace quenda::fileio {

// Reads a whole regular file. Fails on folders, missing files and files larger
// than maxBytes.
bool ReadWholeFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes,
                   uint64_t maxBytes = kMaxFileBytes);

// Reads up to count bytes from the start of a regular file.
bool ReadFilePrefix(const std::filesystem::path& path, size_t count, std::vector<uint8_t>& bytes);

// The length of a regular file, or nothing when it cannot be read.
std::optional<uint64_t> FileLength(const std::filesystem::path& path);

bool Exists(const std::filesystem::path& path);
bool IsRegularFile(const std::filesystem::path& path);
// True when the file is gone afterwards because it was deleted.
bool DeleteFile(const std::filesystem::path& path);

// Writes bytes to `target` through a ReplacingFile (see there): an existing file is
// replaced only by a complete new one, and only when it is a regular file.
bool WriteFileReplacing(const std::filesystem::path& target, const uint8_t* data, size_t size);
inline bool WriteFileReplacing(const std::filesystem::path& target,
                               const std::vector<uint8_t>& bytes) {
    return WriteFileReplacing(target, bytes.data(), bytes.size());
}

// Copies a regular file over `target` the same way, streaming.
bool CopyFileReplacing(const std::filesystem::path& source, const std::filesystem::path& target);

// True when `target` could be replaced now: the checks and the temporary file of a
// real save, without writing anything or touching an existing file.
bool CanReplace(const std::filesystem::path& target);

// Why the last write, copy or CanReplace of the calling thread failed: cannot-write
// or cannot-read with the system's text ("Permission denied", "No space left on
// device"), or not-a-regular-file; no failure after a success. The writers of the
// image formats report through it, since they write their files themselves.
const Failure& LastWriteFailure();
void SetLastWriteFailure(Failure failure);

}  // namespace quenda::fileio
