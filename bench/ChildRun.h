#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace benchsupport {

// What a child process cost: wall and CPU time, and its peak resident memory.
struct ChildRun {
    bool ok = false;
    double seconds = 0.0;
    double cpuSeconds = 0.0;
    double peakMB = 0.0;
};

// Runs `work` in a forked child, whose exit status is its answer (0 for success), so
// the peak memory is the child's own and not the benchmark's.
template <typename Work>
ChildRun RunInChild(Work work) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        _exit(work());
    }
    int status = 0;
    rusage usage{};
    ChildRun run;
    if (pid > 0 && wait4(pid, &status, 0, &usage) == pid) {
        run.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        run.peakMB = static_cast<double>(usage.ru_maxrss) / 1024.0;
        run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return run;
}

}  // namespace benchsupport
