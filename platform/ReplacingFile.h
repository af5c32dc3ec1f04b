#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "imaging/Failure.h"

namespace quenda::fileio {

// A new file written in pieces and put in place of a destination only when complete.
//
// The destination must be a regular file the caller may write, or not exist yet; a
// symbolic link is followed, and the file it points to is replaced in its own folder
// while the link stays. Devices, FIFOs, sockets and folders are refused. The new file
// is a temporary file in the destination's folder, created once (exclusive, never
// through a link, mode 0600), written through that one descriptor, synced, given the
// old file's permission bits (and owner and group when allowed), renamed over the
// destination, and the folder synced. Another name of a hard-linked destination keeps
// the old content. An uncommitted file is removed by the destructor, and by SIGINT,
// SIGTERM or SIGHUP.
//
// Every failure is kept (cannot-write with the system's error text, or
// not-a-regular-file), also given to LastWriteFailure.
class ReplacingFile {
  public:
    explicit ReplacingFile(const std::filesystem::path& destination);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // True while the temporary file is open for writing.
    bool IsOpen() const { return fd_ >= 0; }
    bool Write(const uint8_t* data, size_t size);
    // Puts the written file in place; false (and nothing replaced) on any failure.
    bool Commit();
    // Removes the temporary file; the destination stays as it was.
    void Abort();
    const Failure& Error() const { return error_; }

  private:
    bool Open(const std::filesystem::path& destination);
    bool CheckDestination();
    bool CreateTemp();
    void KeepOwnerAndMode();
    bool TempIsStillOurs() const;
    bool Fail(FailureKind kind, const std::string& detail);
    bool FailWithErrno();
    void Close();

    int folderFd_ = -1;
    int fd_ = -1;
    int guard_ = -1;
    std::string name_;
    std::string tempName_;
    bool existed_ = false;
    struct stat old_ {};
    Failure error_;
};

}  // namespace quenda::fileio
