#include "platform/FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <system_error>

#include "platform/ReplacingFile.h"

namespace quenda::fileio {

namespace fs = std::filesystem;

bool ReadWholeFile(const fs::path& path, std::vector<uint8_t>& bytes, uint64_t maxBytes) {
    bytes.clear();
    const std::optional<uint64_t> length = FileLength(path);
    if (!length || *length > maxBytes) {
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.resize(static_cast<size_t>(*length));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<uint64_t>(in.gcount()) != *length) {
        bytes.clear();
        return false;
    }
    return true;
}

bool ReadFilePrefix(const fs::path& path, size_t count, std::vector<uint8_t>& bytes) {
    bytes.clear();
    if (!IsRegularFile(path)) {
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.resize(count);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return true;
}

std::optional<uint64_t> FileLength(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        return std::nullopt;
    }
    const uintmax_t size = fs::file_size(path, ec);
    if (ec) {
        return std::nullopt;
    }
    return static_cast<uint64_t>(size);
}

bool Exists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

bool IsRegularFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool DeleteFile(const fs::path& path) {
    std::error_code ec;
    return fs::remove(path, ec) && !ec;
}

namespace {

thread_local Failure t_lastWriteFailure;

std::string SystemText(int error) {
    return std::error_code(error, std::generic_category()).message();
}

}  // namespace

const Failure& LastWriteFailure() {
    return t_lastWriteFailure;
}

void SetLastWriteFailure(Failure failure) {
    t_lastWriteFailure = std::move(failure);
}

bool WriteFileReplacing(const fs::path& target, const uint8_t* data, size_t size) {
    ReplacingFile file(target);
    return file.Write(data, size) && file.Commit();
}

bool CopyFileReplacing(const fs::path& source, const fs::path& target) {
    // Non-blocking, so a FIFO named as a source cannot hang the copy.
    const int in = ::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st {};
    if (in < 0 || ::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        SetLastWriteFailure(in < 0 ? Failure::Of(FailureKind::CannotRead, "file", SystemText(errno))
                                   : Failure::Of(FailureKind::NotARegularFile, "file",
                                                 "the source is not a regular file"));
        if (in >= 0) {
            ::close(in);
        }
        return false;
    }
    ReplacingFile out(target);
    std::vector<uint8_t> buffer(size_t{1} << 20);
    bool ok = out.IsOpen();
    while (ok) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            SetLastWriteFailure(Failure::Of(FailureKind::CannotRead, "file", SystemText(errno)));
            out.Abort();
            ok = false;
        } else if (n == 0) {
            ok = out.Commit();
            break;
        } else {
            ok = out.Write(buffer.data(), static_cast<size_t>(n));
        }
    }
    ::close(in);
    return ok;
}

bool CanReplace(const fs::path& target) {
    ReplacingFile probe(target);
    const bool ok = probe.IsOpen();
    probe.Abort();
    return ok;
}

}  // namespace quenda::fileio
