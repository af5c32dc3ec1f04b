#pragma once

#include <cstddef>
#include <functional>

namespace zorixcli {

// Runs jobs 0 to count - 1 on up to `workers` threads and hands each finished job to
// `report` on the calling thread in index order, as soon as it and every job before
// it are done. The jobs must not depend on each other. `run` gets the worker's index
// (0 to workers - 1), so each worker can keep its own engine. With one worker
// everything runs on the calling thread, one job after the other.
struct JobPlan {
    size_t count = 0;
    size_t workers = 1;
};

void RunJobs(const JobPlan& plan, const std::function<void(size_t worker, size_t job)>& run,
             const std::function<void(size_t job)>& report);

// The number of jobs `-j` defaults to: the machine's cores.
size_t DefaultJobCount();

}  // namespace zorixcli
