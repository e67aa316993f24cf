// Guarded tasks: they run while their owner lives, never after, and the owner's end waits for
// one that is running on another thread at that moment.
#include "platform/Lifetime.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace tarnwick {
namespace {

TEST(Lifetime, GuardedTasksRunOnlyWhileItLasts) {
    int runs = 0;
    std::function<void(int)> task;
    {
        Lifetime lifetime;
        task = lifetime.guard([&runs](int by) { runs += by; });
        task(2);
        EXPECT_EQ(runs, 2);
    }
    task(5);
    EXPECT_EQ(runs, 2) << "a task kept past its owner does nothing";
}

TEST(Lifetime, EndWaitsForTheTaskRunningNow) {
    auto* lifetime = new Lifetime;
    std::atomic<bool> started{false};
    std::atomic<bool> finished{false};
    auto task = lifetime->guard([&] {
        started = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        finished = true;
    });
    std::thread runner([&] { task(); });
    while (!started) std::this_thread::yield();
    delete lifetime;  // as the owner's destructor would
    EXPECT_TRUE(finished) << "the owner went while its task still ran";
    runner.join();
}

}  // namespace
}  // namespace tarnwick
