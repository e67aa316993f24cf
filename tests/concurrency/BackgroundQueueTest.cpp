#include "platform/BackgroundQueue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace tarnwick {
namespace {

using namespace std::chrono_literals;

// Counts arrivals; waits are bounded so that a pool that stalls fails the test instead of hanging.
// Shared by pointer with the tasks, which may outlive a failed test.
struct Meeting {
    std::mutex mutex;
    std::condition_variable changed;
    int arrived = 0;
    int finished = 0;
    int metEveryone = 0;

    void arrive() {
        std::lock_guard guard(mutex);
        ++arrived;
        changed.notify_all();
    }
    bool waitFor(int count, std::chrono::seconds timeout = 10s) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return arrived >= count; });
    }
    void finish(bool met) {
        std::lock_guard guard(mutex);
        ++finished;
        metEveryone += met;
        changed.notify_all();
    }
    bool waitFinished(int count, std::chrono::seconds timeout = 30s) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return finished >= count; });
    }
};

TEST(BackgroundQueue, TasksThatWaitForEachOtherAllMakeProgress) {
    // Every task blocks until all of them have started: a pool with fewer threads than tasks
    // would stall here.
    constexpr int tasks = 24;
    auto meeting = std::make_shared<Meeting>();
    for (int i = 0; i < tasks; ++i)
        BackgroundQueue::async([meeting] {
            meeting->arrive();
            meeting->finish(meeting->waitFor(tasks));
        });
    ASSERT_TRUE(meeting->waitFinished(tasks));
    EXPECT_EQ(meeting->metEveryone, tasks);
}

// A chain of tasks: each queues the next and blocks until that one has finished.
constexpr int chainDepth = 16;

struct Chain {
    std::mutex mutex;
    std::condition_variable changed;
    bool done[chainDepth + 1] = {};
    int waitsMet = 0;
};

void chainStep(const std::shared_ptr<Chain>& chain, int level) {
    if (level < chainDepth) BackgroundQueue::async([chain, level] { chainStep(chain, level + 1); });
    std::unique_lock lock(chain->mutex);
    if (level < chainDepth && chain->changed.wait_for(lock, 10s, [&] { return chain->done[level + 1]; }))
        ++chain->waitsMet;
    chain->done[level] = true;
    chain->changed.notify_all();
}

TEST(BackgroundQueue, TaskThatWaitsForATaskItQueuedMakesProgress) {
    auto chain = std::make_shared<Chain>();
    BackgroundQueue::async([chain] { chainStep(chain, 0); });
    std::unique_lock lock(chain->mutex);
    ASSERT_TRUE(chain->changed.wait_for(lock, 30s, [&] { return chain->done[0]; }));
    EXPECT_EQ(chain->waitsMet, chainDepth);
}

}  // namespace
}  // namespace tarnwick
