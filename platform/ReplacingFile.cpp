#include "platform/ReplacingFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "platform/FileIO.h"
#include "platform/InFlightFiles.h"
#include "platform/TempFiles.h"

namespace quenda::fileio {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxLinkHops = 40;
constexpr int kMaxTempAttempts = 100;

std::string ErrnoText(int error) {
    return std::error_code(error, std::generic_category()).message();
}

// The path of the file that will really be replaced: symbolic links followed, even
// when the last one points to a file that does not exist yet.
bool FollowLinks(fs::path& path, std::string& error) {
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            if (errno == ENOENT) {
                return true;
            }
            error = ErrnoText(errno);
            return false;
        }
        if (!S_ISLNK(st.st_mode)) {
            return true;
        }
        std::error_code ec;
        const fs::path points = fs::read_symlink(path, ec);
        if (ec) {
            error = ec.message();
            return false;
        }
        path = points.is_absolute() ? points : path.parent_path() / points;
    }
    error = ErrnoText(ELOOP);
    return false;
}

// The process's file-creation mask, read without changing it.
mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8) & 0777);
        }
    }
    return 022;
}

std::atomic<unsigned> g_tempSerial{0};

}  // namespace

ReplacingFile::ReplacingFile(const fs::path& destination) {
    SetLastWriteFailure({});
    Open(destination);
}

ReplacingFile::~ReplacingFile() {
    Abort();
}

bool ReplacingFile::Open(const fs::path& destination) {
    fs::path path = destination;
    std::string error;
    if (!FollowLinks(path, error)) {
        return Fail(FailureKind::CannotWrite, error);
    }
    name_ = path.filename().string();
    if (name_.empty() || name_ == "." || name_ == "..") {
        return Fail(FailureKind::NotARegularFile, {});
    }
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    folderFd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd_ < 0) {
        return FailWithErrno();
    }
    if (!CheckDestination()) {
        return false;
    }
    RemoveStaleTempFiles(folderFd_, name_);
    return CreateTemp();
}

bool ReplacingFile::CheckDestination() {
    if (::fstatat(folderFd_, name_.c_str(), &old_, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT) {
            return FailWithErrno();
        }
        existed_ = false;
        return true;
    }
    if (!S_ISREG(old_.st_mode)) {
        return Fail(FailureKind::NotARegularFile, {});
    }
    if (::faccessat(folderFd_, name_.c_str(), W_OK, AT_EACCESS) != 0) {
        return FailWithErrno();
    }
    existed_ = true;
    return true;
}

bool ReplacingFile::CreateTemp() {
    for (int attempt = 0; attempt < kMaxTempAttempts; ++attempt) {
        tempName_ = TempName(name_, ::getpid(), g_tempSerial++);
        const SignalsHeld held;
        fd_ = ::openat(folderFd_, tempName_.c_str(),
                       O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd_ >= 0) {
            guard_ = GuardInFlight(folderFd_, tempName_.c_str());
            ::flock(fd_, LOCK_EX | LOCK_NB);
            return true;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    tempName_.clear();
    return FailWithErrno();
}

bool ReplacingFile::Write(const uint8_t* data, size_t size) {
    if (fd_ < 0) {
        return false;
    }
    while (size > 0) {
        const ssize_t written = ::write(fd_, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            return FailWithErrno();
        }
        if (written == 0) {
            return Fail(FailureKind::CannotWrite, ErrnoText(EIO));
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

void ReplacingFile::KeepOwnerAndMode() {
    mode_t mode = 0666 & ~CurrentUmask();
    if (existed_) {
        // Owner first: changing it may clear the set-id bits that the mode then restores.
        struct stat now {};
        if (::fstat(fd_, &now) == 0 && (now.st_uid != old_.st_uid || now.st_gid != old_.st_gid)) {
            (void)::fchown(fd_, old_.st_uid, old_.st_gid);
        }
        mode = old_.st_mode & 07777;
    }
    ::fchmod(fd_, mode);
}

// Someone who may write in the folder could have put another file in place of the
// temporary name; renaming that over the destination would not be our file.
bool ReplacingFile::TempIsStillOurs() const {
    struct stat mine {
    }, named{};
    return ::fstat(fd_, &mine) == 0 &&
           ::fstatat(folderFd_, tempName_.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           mine.st_dev == named.st_dev && mine.st_ino == named.st_ino;
}

bool ReplacingFile::Commit() {
    if (fd_ < 0) {
        return false;
    }
    if (::fsync(fd_) != 0) {
        return FailWithErrno();
    }
    KeepOwnerAndMode();
    if (!TempIsStillOurs()) {
        return Fail(FailureKind::CannotWrite, "the temporary file was replaced by another");
    }
    struct stat now {};
    if (::fstatat(folderFd_, name_.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
        !S_ISREG(now.st_mode)) {
        return Fail(FailureKind::NotARegularFile, {});
    }
    if (::renameat(folderFd_, tempName_.c_str(), folderFd_, name_.c_str()) != 0) {
        return FailWithErrno();
    }
    tempName_.clear();
    ::fsync(folderFd_);  // some file systems cannot sync a folder; the rename stands
    Close();
    return true;
}

void ReplacingFile::Abort() {
    if (fd_ >= 0 && !tempName_.empty()) {
        ::unlinkat(folderFd_, tempName_.c_str(), 0);
    }
    tempName_.clear();
    Close();
}

void ReplacingFile::Close() {
    ReleaseInFlight(guard_);
    guard_ = -1;
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (folderFd_ >= 0) {
        ::close(folderFd_);
        folderFd_ = -1;
    }
}

bool ReplacingFile::Fail(FailureKind kind, const std::string& detail) {
    if (!error_) {
        error_ = Failure::Of(kind, "file", detail);
    }
    SetLastWriteFailure(error_);
    Abort();
    return false;
}

bool ReplacingFile::FailWithErrno() {
    return Fail(FailureKind::CannotWrite, ErrnoText(errno));
}

}  // namespace quenda::fileio
