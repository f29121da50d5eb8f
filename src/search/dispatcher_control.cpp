#include "search/dispatcher_control.h"

#include <chrono>

namespace fw {

bool DispatcherControl::Stop() {
    std::lock_guard guard(mutex_);
    const bool wasRunning = !stopped_ && !finished_;
    stopped_ = true;
    changed_.notify_all();
    return wasRunning;
}

void DispatcherControl::Pause() {
    std::lock_guard guard(mutex_);
    if (!stopped_ && !finished_) {
        paused_ = true;
    }
}

void DispatcherControl::Continue() {
    std::lock_guard guard(mutex_);
    paused_ = false;
    changed_.notify_all();
}

bool DispatcherControl::IsRunning() const {
    std::lock_guard guard(mutex_);
    return !stopped_ && !finished_;
}

bool DispatcherControl::IsPaused() const {
    std::lock_guard guard(mutex_);
    return paused_;
}

bool DispatcherControl::Wait(std::int64_t milliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    std::unique_lock lock(mutex_);
    while (!stopped_) {
        if (paused_) {
            changed_.wait(lock);
            continue;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return true;
        }
        changed_.wait_until(lock, deadline);
    }
    return false;
}

void DispatcherControl::MarkFinished() {
    std::lock_guard guard(mutex_);
    finished_ = true;
    paused_ = false;
    changed_.notify_all();
}

}  // namespace fw
