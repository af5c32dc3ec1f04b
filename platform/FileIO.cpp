#include "platform/FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <random>
#include <system_error>

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

// A new, empty, uniquely named file beside `target`; empty path on failure.
fs::path CreateSiblingTempFile(const fs::path& target) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 16; ++attempt) {
        const fs::path candidate =
            folder / ("." + target.filename().string() + ".zorix-" + std::to_string(random()));
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return candidate;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    return {};
}

// Moves the finished temporary file over `target`, keeping the permissions an existing
// target had; the temporary file is removed on failure.
bool ReplaceWithTempFile(const fs::path& temp, const fs::path& target) {
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        ::chmod(temp.c_str(), existing.st_mode & 07777);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        DeleteFile(temp);
        return false;
    }
    return true;
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

bool WriteFileReplacing(const fs::path& target, const uint8_t* data, size_t size) {
    const fs::path temp = CreateSiblingTempFile(target);
    if (temp.empty()) {
        return false;
    }
    const int fd = ::open(temp.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    bool ok = fd >= 0 && WriteAll(fd, data, size);
    if (fd >= 0) {
        ok = ::close(fd) == 0 && ok;
    }
    if (!ok) {
        DeleteFile(temp);
        return false;
    }
    return ReplaceWithTempFile(temp, target);
}

}  // namespace quenda::fileio
