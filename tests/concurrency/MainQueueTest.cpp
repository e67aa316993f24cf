#include "platform/MainQueue.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace tarnwick {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(MainQueue, TasksFromManyThreadsRunOnTheMainThreadInTheirOrder) {
    constexpr int threads = 4, perThread = 400;
    std::vector<std::vector<int>> ran(threads);  // touched by tasks only, so on the main thread only
    std::atomic<int> offMain{0};
    std::atomic<int> done{0};
    std::vector<std::thread> posters;
    for (int t = 0; t < threads; ++t)
        posters.emplace_back([&, t] {
            for (int i = 0; i < perThread; ++i)
                MainQueue::async([&, t, i] {
                    if (!MainQueue::isMainThread()) ++offMain;
                    ran[t].push_back(i);
                    ++done;
                });
        });
    ASSERT_TRUE(test::runMainUntil([&] { return done.load() == threads * perThread; }, 20s));
    for (auto& p : posters) p.join();
    EXPECT_EQ(offMain.load(), 0);
    for (int t = 0; t < threads; ++t) {
        ASSERT_EQ(ran[t].size(), size_t(perThread)) << "thread " << t;
        for (int i = 0; i < perThread; ++i) ASSERT_EQ(ran[t][i], i) << "thread " << t;
    }
}

TEST(MainQueue, NestedRunEndsAtItsOwnStopAndTheOuterRunGoesOn) {
    std::vector<std::string> events;  // main thread only
    MainQueue::async([&] {
        events.push_back("outer task");
        MainQueue::async([&] {
            events.push_back("stops the nested run");
            MainQueue::stop();
        });
        MainQueue::run();
        events.push_back("nested run returned");
        MainQueue::async([&] {
            events.push_back("stops the outer run");
            MainQueue::stop();
        });
    });
    ASSERT_TRUE(MainQueue::runFor(10s));
    EXPECT_EQ(events, (std::vector<std::string>{"outer task", "stops the nested run", "nested run returned",
                                                "stops the outer run"}));
}

TEST(MainQueue, TaskThatWaitsForAConditionLikeTheCommandLineRunnerKeepsTheQueueMoving) {
    // A task waits, inside the loop, for work finished on another thread and announced through
    // the main queue; meanwhile tasks queued behind it still run, in order.
    std::vector<int> order;  // main thread only
    std::atomic<bool> answered{false};
    bool waitSucceeded = false;
    bool waitedOnMain = false;
    MainQueue::async([&] {
        std::thread worker([&] { MainQueue::async([&] { answered = true; }); });
        waitSucceeded = MainQueue::runUntil([&] { return answered.load(); }, 10s);
        waitedOnMain = MainQueue::isMainThread();
        worker.join();
        order.push_back(0);
        MainQueue::stop();
    });
    MainQueue::async([&] { order.push_back(1); });
    MainQueue::async([&] { order.push_back(2); });
    ASSERT_TRUE(MainQueue::runFor(10s));
    EXPECT_TRUE(waitSucceeded);
    EXPECT_TRUE(waitedOnMain);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 0})) << "the tasks behind the waiting one ran during the wait, in order";
}

TEST(MainQueue, StopFromAnyThreadEndsTheRun) {
    // From another thread while the loop sleeps.
    std::thread stopper([] { MainQueue::stop(); });
    EXPECT_TRUE(MainQueue::runFor(10s));
    stopper.join();

    // Before the run starts: the next run ends at once.
    MainQueue::stop();
    EXPECT_TRUE(MainQueue::runFor(10s));
}

TEST(MainQueue, RunsWithATimeOutReturnWhenTheTimePasses) {
    const auto timeout = 150ms;

    auto start = Clock::now();
    EXPECT_FALSE(MainQueue::runFor(timeout)) << "nothing stopped it";
    EXPECT_GE(Clock::now() - start, timeout);

    start = Clock::now();
    EXPECT_FALSE(MainQueue::runUntil([] { return false; }, timeout));
    EXPECT_GE(Clock::now() - start, timeout);

    // A condition changed by a thread that queues nothing is still noticed.
    std::atomic<bool> flag{false};
    std::thread setter([&] { flag = true; });
    EXPECT_TRUE(MainQueue::runUntil([&] { return flag.load(); }, 10s));
    setter.join();
}

TEST(MainQueue, RunForGivesUpAtTheDeadlineEvenWhileTasksKeepComing) {
    // A task that queues itself again (a poller) keeps the queue from ever being empty.
    struct Poller {
        std::atomic<bool> quit{false};
        std::atomic<bool> gaveUp{false};  // the safety bound was reached before runFor returned
        Clock::time_point bound = Clock::now() + 8s;
        void tick() {
            if (quit) return;
            if (Clock::now() > bound) {
                gaveUp = true;
                return;
            }
            MainQueue::async([this] { tick(); });
        }
    } poller;
    MainQueue::async([&] { poller.tick(); });
    EXPECT_FALSE(MainQueue::runFor(100ms));
    EXPECT_FALSE(poller.gaveUp) << "runFor returned only when the tasks ran out";
    poller.quit = true;
    test::drainMainQueue();
}

}  // namespace
}  // namespace tarnwick
