#pragma once

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// Special files made inside a test's own scratch folder, never at a system path.
// Each returns false when this process may not make one (the caller then skips).
bool MakeFifo(const std::string& path);
bool MakeNullDevice(const std::string& path);  // a character device like /dev/null
bool MakeSocket(const std::string& path);

// Names in `dir` that are temporary files of a save (".zorix-...").
std::vector<std::string> SaveTempFiles(const std::string& dir);

// Runs `check` in a child process as an unprivileged user when this process is root
// (so permission bits count), or as itself otherwise; the child's exit status, or -1
// when it could not run.
int RunUnprivileged(const std::function<int()>& check);

// A small tmpfs mounted on a scratch folder for the lifetime of the object, so a
// test can fill a file system; Mounted() is false where mounting is not allowed.
class SmallFileSystem {
  public:
    SmallFileSystem(const std::string& mountPoint, size_t bytes);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;
    bool Mounted() const { return mounted_; }

  private:
    std::string mountPoint_;
    bool mounted_ = false;
};

}  // namespace testsupport
