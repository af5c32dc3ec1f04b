#include "cli/JobPool.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace zorixcli {

namespace {

enum class JobState { Waiting, Running, Done };

class Scheduler {
  public:
    explicit Scheduler(const JobPlan& plan) : plan_(plan), states_(plan.count) {}

    // The lowest waiting job whose predecessors are done; false when none is left.
    bool Take(size_t& job) {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            bool waiting = false;
            for (size_t i = firstWaiting_; i < states_.size(); ++i) {
                if (states_[i] != JobState::Waiting) {
                    continue;
                }
                waiting = true;
                if (Ready(i)) {
                    states_[i] = JobState::Running;
                    job = i;
                    return true;
                }
            }
            if (!waiting) {
                return false;
            }
            changed_.wait(lock);
        }
    }

    void Finish(size_t job) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            states_[job] = JobState::Done;
            while (firstWaiting_ < states_.size() && states_[firstWaiting_] != JobState::Waiting) {
                ++firstWaiting_;
            }
        }
        changed_.notify_all();
    }

    void AwaitDone(size_t job) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return states_[job] == JobState::Done; });
    }

  private:
    bool Ready(size_t job) const {
        if (plan_.after.size() <= job) {
            return true;
        }
        for (size_t before : plan_.after[job]) {
            // Only earlier jobs count, so that no plan can wait for itself.
            if (before < job && states_[before] != JobState::Done) {
                return false;
            }
        }
        return true;
    }

    const JobPlan& plan_;
    std::vector<JobState> states_;
    size_t firstWaiting_ = 0;
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
    Scheduler scheduler(plan);
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
