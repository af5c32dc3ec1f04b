#include "platform/TempFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace quenda::fileio {

namespace {

uint32_t NameHash(const std::string& name) {
    uint32_t hash = 2166136261u;  // FNV-1a
    for (unsigned char c : name) {
        hash = (hash ^ c) * 16777619u;
    }
    return hash;
}

// The owner's pid written after the prefix, or 0 when the name is not one of ours.
pid_t OwnerOf(const std::string& entry, const std::string& prefix) {
    if (entry.compare(0, prefix.size(), prefix) != 0) {
        return 0;
    }
    char* end = nullptr;
    const long pid = std::strtol(entry.c_str() + prefix.size(), &end, 10);
    if (end == entry.c_str() + prefix.size() || *end != '-' || pid <= 0) {
        return 0;
    }
    return static_cast<pid_t>(pid);
}

bool ProcessLives(pid_t pid) {
    return pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH;
}

// A leftover is removed only when no process holds its lock: the owner locks its
// temporary file for as long as it writes it, which also covers an owner whose pid
// this process cannot see.
void RemoveIfUnlocked(int folderFd, const std::string& entry) {
    const int fd =
        ::openat(folderFd, entry.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        ::unlinkat(folderFd, entry.c_str(), 0);
    }
    ::close(fd);
}

std::vector<std::string> EntriesStartingWith(int folderFd, const std::string& prefix) {
    std::vector<std::string> found;
    const int listFd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (!dir) {
        if (listFd >= 0) {
            ::close(listFd);
        }
        return found;
    }
    while (const dirent* e = ::readdir(dir)) {
        if (std::string(e->d_name).compare(0, prefix.size(), prefix) == 0) {
            found.emplace_back(e->d_name);
        }
    }
    ::closedir(dir);
    return found;
}

}  // namespace

std::string TempNamePrefix(const std::string& destinationName) {
    char text[24];
    std::snprintf(text, sizeof text, ".zorix-%08x-",
                  static_cast<unsigned>(NameHash(destinationName)));
    return text;
}

std::string TempName(const std::string& destinationName, pid_t owner, unsigned serial) {
    return TempNamePrefix(destinationName) + std::to_string(owner) + "-" + std::to_string(serial) +
           ".tmp";
}

void RemoveStaleTempFiles(int folderFd, const std::string& destinationName) {
    const std::string prefix = TempNamePrefix(destinationName);
    for (const std::string& entry : EntriesStartingWith(folderFd, prefix)) {
        const pid_t owner = OwnerOf(entry, prefix);
        if (owner != 0 && !ProcessLives(owner)) {
            RemoveIfUnlocked(folderFd, entry);
        }
    }
}

}  // namespace quenda::fileio
