#pragma once

// Detached worker threads that are counted while they live, so that the command line (and the tests)
// can wait for every worker of a run, while the window never waits for any.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace fw {

class WorkerThreads {
  public:
    WorkerThreads();

    // Runs `work` on a new detached thread. Returns false, without running it, when no thread can be
    // created; callers then skip that piece of work silently. What `work` captures is released before
    // the thread counts as ended.
    bool Start(std::function<void()> work);

    int Live() const;
    void WaitUntilIdle() const;
    // False when workers were still alive at the end of `timeout`.
    bool WaitUntilIdleFor(std::chrono::milliseconds timeout) const;

  private:
    struct State {
        mutable std::mutex mutex;
        mutable std::condition_variable idle;
        int live = 0;
    };
    // Shared with every thread, so that a thread that outlives this object still has a counter to lower.
    std::shared_ptr<State> state_;
};

}  // namespace fw
