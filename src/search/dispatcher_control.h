#pragma once

// Pause, continue and stop of one run's dispatcher: a flag and a condition variable that the dispatcher
// waits on. A stop wakes a paused or waiting dispatcher at once; no lock is left held.

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace fw {

class DispatcherControl {
  public:
    // GUI side. Stop returns whether the dispatcher was still running (it then hands out no further page,
    // starts no online play and does not end the run).
    bool Stop();
    void Pause();
    void Continue();
    bool IsRunning() const;
    bool IsPaused() const;

    // Dispatcher side. Runs `step` unless the run was stopped, after waiting out a pause; the step runs
    // with the control's mutex held, so a stop that returns has seen the last step there will be.
    template <class Step>
    bool RunUnlessStopped(Step&& step) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stopped_ || !paused_; });
        if (stopped_) {
            return false;
        }
        step();
        return true;
    }

    // Waits at least `milliseconds`; a pause suspends the wait, and a continue after its end ends it at
    // once. Returns false when the run was stopped meanwhile.
    bool Wait(std::int64_t milliseconds);

    // The dispatcher has ended by itself.
    void MarkFinished();

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool paused_ = false;
    bool stopped_ = false;
    bool finished_ = false;
};

}  // namespace fw
