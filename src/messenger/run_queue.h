// Runs jobs one at a time, to completion, on a thread that handles its events
// while a job waits. A job asked for while another runs (a click handled inside
// the running job's wait) does not nest inside it: it waits and runs after it,
// oldest first.
#pragma once
#include <deque>
#include <utility>

template <typename Job>
class RunQueue {
  public:
    // Runs `job` with `run`, then every job queued meanwhile, in order. Called
    // while a job runs, it only queues `job` and returns at once. `run` returns
    // false to stop: what still waits stays queued for the caller to drop.
    template <typename Run>
    void Submit(Job job, Run&& run) {
        if (running_) {
            waiting_.push_back(std::move(job));
            return;
        }
        running_ = true;
        struct Done {
            bool& running;
            ~Done() { running = false; }
        } done{running_};
        for (;;) {
            if (!run(job)) return;
            if (waiting_.empty()) return;
            job = std::move(waiting_.front());
            waiting_.pop_front();
        }
    }

    bool Running() const { return running_; }
    // What waits for the running job, oldest first; callers may drop or merge.
    std::deque<Job>& Waiting() { return waiting_; }

  private:
    bool running_ = false;
    std::deque<Job> waiting_;
};
