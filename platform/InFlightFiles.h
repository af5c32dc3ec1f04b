#pragma once

#include <signal.h>

namespace quenda::fileio {

// The temporary files this process is writing, so that SIGINT, SIGTERM and SIGHUP
// remove them before the process ends. The handlers are installed on first use, and
// only for signals whose action is still the default: a program that ignores or
// handles a signal itself keeps doing so.

// Blocks those signals in the calling thread while a temporary file is created and
// guarded, so none can come between the two.
class SignalsHeld {
  public:
    SignalsHeld();
    ~SignalsHeld();
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

  private:
    sigset_t saved_;
};

// Registers `name` in the open folder; returns a ticket for ReleaseInFlight, or -1
// when the table is full (the file is then not removed by a signal).
int GuardInFlight(int folderFd, const char* name);
void ReleaseInFlight(int ticket);

}  // namespace quenda::fileio
