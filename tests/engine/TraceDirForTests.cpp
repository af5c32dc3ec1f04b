// Keeps the encoder's trace out of the user's state folder while tests run.
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

std::filesystem::path& TraceDir() {
    static std::filesystem::path dir;
    return dir;
}

void RemoveTraceDir() {
    std::error_code ec;
    std::filesystem::remove_all(TraceDir(), ec);
}

const bool kTraceRedirected = [] {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("zorix-test-state-" + std::to_string(::getpid()));
    ::setenv("XDG_STATE_HOME", dir.c_str(), 1);
    TraceDir() = dir;
    std::atexit(RemoveTraceDir);
    return true;
}();

}  // namespace
