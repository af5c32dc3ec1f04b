#include "engine/modMain.h"

#include <cstdlib>
#include <fstream>
#include <system_error>

namespace quenda {

namespace {

// The trace file stays open for the rest of the process once opened.
struct TraceFile {
    bool tried = false;
    std::ofstream out;
};

TraceFile& Trace() {
    static TraceFile trace;
    return trace;
}

std::recursive_mutex& TraceMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

std::filesystem::path StateHome() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') {
        return state;
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        return std::filesystem::path(home) / ".local" / "state";
    }
    return {};
}

void OpenTrace(TraceFile& trace) {
    trace.tried = true;
    const std::filesystem::path path = TraceFilePath();
    if (path.empty()) {
        return;
    }
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    std::filesystem::remove(path, ec);
    trace.out.open(path, std::ios::out | std::ios::trunc);
}

}  // namespace

std::filesystem::path TraceFilePath() {
    const std::filesystem::path home = StateHome();
    return home.empty() ? home : home / "zorix" / "trace.txt";
}

TraceSection::TraceSection() : lock_(TraceMutex()) {}

void TraceLine(const std::string& text) {
    const TraceSection section;
    TraceFile& trace = Trace();
    if (!trace.tried) {
        OpenTrace(trace);
    }
    if (trace.out.is_open()) {
        trace.out << text << '\n';
        trace.out.flush();
        trace.out.clear();  // a full disk must not silence later lines for good
    }
}

}  // namespace quenda
