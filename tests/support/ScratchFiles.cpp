#include "support/ScratchFiles.h"

#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

namespace testsupport {

bool MakeFifo(const std::string& path) {
    return ::mkfifo(path.c_str(), 0644) == 0;
}

bool MakeNullDevice(const std::string& path) {
    return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
}

bool MakeSocket(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::strcpy(address.sun_path, path.c_str());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound =
        fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return bound;
}

std::vector<std::string> SaveTempFiles(const std::string& dir) {
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(".zorix-", 0) == 0) {
            found.push_back(name);
        }
    }
    return found;
}

int RunUnprivileged(const std::function<int()>& check) {
    if (::geteuid() != 0) {
        return check();
    }
    const pid_t child = ::fork();
    if (child < 0) {
        return -1;
    }
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
            ::_exit(125);
        }
        ::_exit(check());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

SmallFileSystem::SmallFileSystem(const std::string& mountPoint, size_t bytes)
    : mountPoint_(mountPoint) {
    std::filesystem::create_directories(mountPoint);
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0777";
    mounted_ =
        ::mount("tmpfs", mountPoint.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
}

SmallFileSystem::~SmallFileSystem() {
    if (mounted_) {
        ::umount2(mountPoint_.c_str(), MNT_DETACH);
    }
}

}  // namespace testsupport
