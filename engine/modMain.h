#pragma once

#include <filesystem>
#include <mutex>
#include <string>

// Process-wide helpers of the engine.
namespace quenda {

// Appends one line to the engine's diagnostic trace. The first call in a process
// starts a fresh file; failures to write are ignored.
void TraceLine(const std::string& text);

// Keeps the trace to the calling thread while it lives, so that lines written together
// (the two of one encoding) are not interleaved with another engine's.
class TraceSection {
  public:
    TraceSection();

  private:
    std::unique_lock<std::recursive_mutex> lock_;
};

// Where the trace goes: $XDG_STATE_HOME/zorix/trace.txt, else
// ~/.local/state/zorix/trace.txt. Empty when neither variable names a folder.
std::filesystem::path TraceFilePath();

}  // namespace quenda
