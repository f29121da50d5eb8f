#include "search/dispatcher_control.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

namespace fw {
namespace {

using namespace std::chrono_literals;

TEST(DispatcherControl, StopWakesAWaitAtOnce) {
    DispatcherControl control;
    auto wait = std::async(std::launch::async, [&] { return control.Wait(3'600'000); });
    std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(control.Stop());
    EXPECT_FALSE(wait.get());
    EXPECT_FALSE(control.IsRunning());
    EXPECT_FALSE(control.RunUnlessStopped([] { ADD_FAILURE() << "a stopped dispatcher ran a step"; }));
}

TEST(DispatcherControl, StopWakesAPausedDispatcher) {
    DispatcherControl control;
    control.Pause();
    auto step = std::async(std::launch::async, [&] { return control.RunUnlessStopped([] {}); });
    EXPECT_EQ(step.wait_for(50ms), std::future_status::timeout);  // held by the pause
    control.Stop();
    EXPECT_FALSE(step.get());
}

TEST(DispatcherControl, APauseHoldsAWaitThatContinueThenEndsOnceItsTimeHasPassed) {
    DispatcherControl control;
    std::atomic<bool> waited{false};
    auto wait = std::async(std::launch::async, [&] {
        const bool result = control.Wait(30);
        waited = true;
        return result;
    });
    control.Pause();
    std::this_thread::sleep_for(120ms);
    EXPECT_FALSE(waited.load());  // its 30 ms are long gone, but the dispatcher is suspended
    control.Continue();
    EXPECT_TRUE(wait.get());
}

TEST(DispatcherControl, AFinishedDispatcherIsNotRunningAndIgnoresPause) {
    DispatcherControl control;
    control.MarkFinished();
    EXPECT_FALSE(control.IsRunning());
    control.Pause();
    EXPECT_FALSE(control.IsPaused());
    EXPECT_FALSE(control.Stop());  // nothing was running any more
}

}  // namespace
}  // namespace fw
