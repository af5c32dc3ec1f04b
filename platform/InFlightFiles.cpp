#include "platform/InFlightFiles.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>

namespace quenda::fileio {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kSlotCount = 256;
constexpr size_t kNameCapacity = 64;  // temporary names are short by design

enum SlotState : int { kFree = 0, kFilling = 1, kActive = 2 };

// A fixed table, because a signal handler may neither allocate nor lock.
struct Slot {
    std::atomic<int> state{kFree};
    int folderFd = -1;
    char name[kNameCapacity] = {};
};

Slot g_slots[kSlotCount];
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void RemoveInFlightAndDie(int signal) {
    const int savedErrno = errno;
    for (Slot& slot : g_slots) {
        if (slot.state.load(std::memory_order_acquire) == kActive) {
            ::unlinkat(slot.folderFd, slot.name, 0);
        }
    }
    errno = savedErrno;
    // SA_RESETHAND restored the default action on entry; the signal stays blocked until
    // the handler returns, and then ends the process as it would have without us.
    ::raise(signal);
}

void SignalSet(sigset_t& set) {
    sigemptyset(&set);
    for (int s : kSignals) {
        sigaddset(&set, s);
    }
}

void InstallHandlers() {
    for (int s : kSignals) {
        struct sigaction old {};
        if (::sigaction(s, nullptr, &old) != 0 || (old.sa_flags & SA_SIGINFO) != 0 ||
            old.sa_handler != SIG_DFL) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = RemoveInFlightAndDie;
        action.sa_flags = SA_RESETHAND;
        SignalSet(action.sa_mask);
        ::sigaction(s, &action, nullptr);
    }
}

}  // namespace

SignalsHeld::SignalsHeld() {
    static std::once_flag installed;
    std::call_once(installed, InstallHandlers);
    sigset_t block;
    SignalSet(block);
    ::pthread_sigmask(SIG_BLOCK, &block, &saved_);
}

SignalsHeld::~SignalsHeld() {
    ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
}

int GuardInFlight(int folderFd, const char* name) {
    if (std::strlen(name) >= kNameCapacity) {
        return -1;
    }
    for (int i = 0; i < kSlotCount; ++i) {
        int expected = kFree;
        if (g_slots[i].state.compare_exchange_strong(expected, kFilling)) {
            g_slots[i].folderFd = folderFd;
            std::strcpy(g_slots[i].name, name);
            g_slots[i].state.store(kActive, std::memory_order_release);
            return i;
        }
    }
    return -1;
}

void ReleaseInFlight(int ticket) {
    if (ticket >= 0 && ticket < kSlotCount) {
        g_slots[ticket].state.store(kFree, std::memory_order_release);
    }
}

}  // namespace quenda::fileio
