#include "cli/JobPool.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace zorixcli {

namespace {

// Hands out jobs in index order and tells the reporting thread when one is done.
class Scheduler {
  public:
    explicit Scheduler(size_t count) : count_(count), done_(count, false) {}

    // The next job not yet taken; false when none is left.
    bool Take(size_t& job) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (next_ == count_) {
            return false;
        }
        job = next_++;
        return true;
    }

    void Finish(size_t job) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_[job] = true;
        }
        changed_.notify_all();
    }

    void AwaitDone(size_t job) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return done_[job]; });
    }

  private:
    const size_t count_;
    size_t next_ = 0;
    std::vector<bool> done_;
    std::mutex mutex_;
    std::condition_variable changed_;
};

}  // namespace

void RunJobs(const JobPlan& plan, const std::function<void(size_t worker, size_t job)>& run,
             const std::function<void(size_t job)>& report) {
    const size_t workers = std::min(plan.workers, plan.count);
    if (workers <= 1) {
        for (size_t job = 0; job < plan.count; ++job) {
            run(0, job);
            report(job);
        }
        return;
    }
    Scheduler scheduler(plan.count);
    std::vector<std::thread> threads;
    for (size_t w = 0; w < workers; ++w) {
        threads.emplace_back([&, w] {
            size_t job = 0;
            while (scheduler.Take(job)) {
                run(w, job);
                scheduler.Finish(job);
            }
        });
    }
    for (size_t job = 0; job < plan.count; ++job) {
        scheduler.AwaitDone(job);
        report(job);
    }
    for (std::thread& t : threads) {
        t.join();
    }
}

size_t DefaultJobCount() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : cores;
}

}  // namespace zorixcli
