#include "search/worker_threads.h"

#include <system_error>
#include <thread>
#include <utility>

namespace fw {

WorkerThreads::WorkerThreads() : state_(std::make_shared<State>()) {}

bool WorkerThreads::Start(std::function<void()> work) {
    {
        std::lock_guard guard(state_->mutex);
        ++state_->live;
    }
    auto finish = [](const std::shared_ptr<State>& state) {
        std::lock_guard guard(state->mutex);
        if (--state->live == 0) {
            state->idle.notify_all();
        }
    };
    try {
        std::thread([state = state_, work = std::move(work), finish]() mutable {
            work();
            work = nullptr;  // release what the work held before the thread counts as ended
            finish(state);
        }).detach();
        return true;
    } catch (const std::system_error&) {
        finish(state_);
        return false;
    }
}

int WorkerThreads::Live() const {
    std::lock_guard guard(state_->mutex);
    return state_->live;
}

void WorkerThreads::WaitUntilIdle() const {
    std::unique_lock lock(state_->mutex);
    state_->idle.wait(lock, [this] { return state_->live == 0; });
}

bool WorkerThreads::WaitUntilIdleFor(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(state_->mutex);
    return state_->idle.wait_for(lock, timeout, [this] { return state_->live == 0; });
}

}  // namespace fw
