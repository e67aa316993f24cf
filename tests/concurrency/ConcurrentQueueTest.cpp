#include "platform/ConcurrentQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace tarnwick {
namespace {

using namespace std::chrono_literals;

// A flag one thread raises and others wait for, with a bound so that a fault fails the test
// instead of hanging it.
class Signal {
public:
    void raise() {
        {
            std::lock_guard guard(mutex_);
            raised_ = true;
        }
        changed_.notify_all();
    }
    bool wait(std::chrono::milliseconds timeout = 10s) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [this] { return raised_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool raised_ = false;
};

TEST(ConcurrentQueue, SyncAfterBarrierSeesTheWrite) {
    ConcurrentQueue queue("test");
    int value = 0;  // guarded by the queue
    for (int i = 1; i <= 200; ++i) {
        queue.barrierAsync([&value, i] { value = i; });
        EXPECT_EQ(queue.sync([&] { return value; }), i);
    }
}

TEST(ConcurrentQueue, SyncOnAnotherThreadAfterBarrierSeesTheWrite) {
    // The barrier is queued on one thread; a reader on another thread, told only that
    // barrierAsync has returned, must find the write done.
    ConcurrentQueue queue("test");
    int value = 0;  // guarded by the queue
    std::atomic<int> queued{0};
    std::atomic<int> stale{0};
    std::thread reader([&] {
        for (int i = 1; i <= 300; ++i) {
            while (queued.load(std::memory_order_acquire) < i) std::this_thread::yield();
            if (queue.sync([&] { return value; }) < i) ++stale;
        }
    });
    for (int i = 1; i <= 300; ++i) {
        queue.barrierAsync([&value, i] { value = i; });
        queued.store(i, std::memory_order_release);
    }
    reader.join();
    EXPECT_EQ(stale.load(), 0);
}

TEST(ConcurrentQueue, ReaderQueuedBehindAWaitingBarrierDoesNotOvertakeIt) {
    // A reader is inside; a barrier queues behind it; a second reader queues behind the barrier.
    // The barrier must wait for the first reader to leave, and the second reader must not join
    // the first: it waits for the barrier and sees its write.
    ConcurrentQueue queue("test");
    int value = 0;  // guarded by the queue
    Signal firstInside, secondIssued;
    std::atomic<bool> secondInside{false};
    int firstSawAtExit = -1;
    int secondSaw = -1;

    std::thread first([&] {
        queue.sync([&] {
            firstInside.raise();
            secondIssued.wait();
            // Give a faulty queue the chance to start the barrier, or let the second reader in,
            // beside this one.
            for (int i = 0; i < 200 && !secondInside; ++i) std::this_thread::sleep_for(1ms);
            firstSawAtExit = value;
        });
    });
    ASSERT_TRUE(firstInside.wait());
    queue.barrierAsync([&value] { value = 1; });
    std::thread second([&] {
        secondIssued.raise();
        secondSaw = queue.sync([&] {
            secondInside = true;
            return value;
        });
    });
    first.join();
    second.join();
    EXPECT_EQ(firstSawAtExit, 0) << "the barrier waited for the reader admitted before it";
    EXPECT_EQ(secondSaw, 1);
}

TEST(ConcurrentQueue, ReadersRunAtTheSameTime) {
    ConcurrentQueue queue("test");
    std::mutex mutex;
    std::condition_variable changed;
    int inside = 0;
    std::atomic<int> metTheOther{0};
    auto reader = [&] {
        queue.sync([&] {
            std::unique_lock lock(mutex);
            ++inside;
            changed.notify_all();
            if (changed.wait_for(lock, 10s, [&] { return inside == 2; })) ++metTheOther;
        });
    };
    std::thread a(reader), b(reader);
    a.join();
    b.join();
    EXPECT_EQ(metTheOther.load(), 2) << "each reader found the other inside with it";
}

TEST(ConcurrentQueue, BarrierNeverOverlapsAReaderOrAnotherBarrier) {
    ConcurrentQueue queue("test");
    std::atomic<int> readersInside{0}, barriersInside{0};
    std::atomic<int> readerSawBarrier{0}, barrierSawOther{0};
    std::atomic<int> barriersRun{0};
    long long total = 0;  // guarded by the queue: written by barriers, read by readers

    auto barrier = [&] {
        if (barriersInside.fetch_add(1) != 0) ++barrierSawOther;
        total += 1;
        for (int i = 0; i < 10; ++i) {
            if (readersInside.load() != 0) ++barrierSawOther;
            std::this_thread::yield();
        }
        barriersInside.fetch_sub(1);
        ++barriersRun;
    };
    auto reader = [&] {
        readersInside.fetch_add(1);
        volatile long long seen = total;
        (void)seen;
        for (int k = 0; k < 10; ++k) {
            if (barriersInside.load() != 0) ++readerSawBarrier;
            std::this_thread::yield();
        }
        readersInside.fetch_sub(1);
    };
    // Every thread mixes writes among its reads, so that barriers keep arriving while readers
    // are inside.
    constexpr int threadCount = 6, rounds = 300, barrierEvery = 3;
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < rounds; ++i) {
                if (i % barrierEvery == 0)
                    queue.barrierAsync(barrier);
                else
                    queue.sync(reader);
            }
        });
    for (auto& t : threads) t.join();
    queue.barrierSync([] {});
    EXPECT_EQ(readerSawBarrier.load(), 0);
    EXPECT_EQ(barrierSawOther.load(), 0);
    constexpr int barriers = threadCount * rounds / barrierEvery;
    EXPECT_EQ(barriersRun.load(), barriers);
    EXPECT_EQ(queue.sync([&] { return total; }), barriers);
}

TEST(ConcurrentQueue, BarriersRunInTheOrderQueued) {
    ConcurrentQueue queue("test");
    std::vector<int> order;  // guarded by the queue
    for (int i = 0; i < 1000; ++i) queue.barrierAsync([&order, i] { order.push_back(i); });
    std::vector<int> seen;
    queue.barrierSync([&] { seen = order; });
    std::vector<int> expected(1000);
    for (int i = 0; i < 1000; ++i) expected[i] = i;
    EXPECT_EQ(seen, expected) << "barrierSync runs after every barrier queued before it, in order";
}

TEST(ConcurrentQueue, EachThreadsBarriersKeepTheirOrder) {
    ConcurrentQueue queue("test");
    constexpr int threads = 4, perThread = 250;
    std::vector<std::pair<int, int>> order;  // guarded by the queue
    std::vector<std::thread> writers;
    for (int t = 0; t < threads; ++t)
        writers.emplace_back([&, t] {
            for (int i = 0; i < perThread; ++i) queue.barrierAsync([&order, t, i] { order.emplace_back(t, i); });
            // Once this returns, every barrier this thread queued has run.
            int ownRun = -1;
            queue.barrierSync([&] {
                ownRun = 0;
                for (const auto& [who, _] : order) ownRun += who == t;
            });
            EXPECT_EQ(ownRun, perThread) << "thread " << t;
        });
    for (auto& w : writers) w.join();
    std::vector<int> next(threads, 0);
    const auto all = queue.sync([&] { return order; });
    ASSERT_EQ(all.size(), size_t(threads * perThread));
    for (const auto& [t, i] : all) EXPECT_EQ(i, next[t]++) << "thread " << t;
}

TEST(ConcurrentQueue, DestructionWaitsForQueuedBarriers) {
    std::atomic<int> run{0};
    Signal release;  // outlives the queue, whose destructor waits for the task that uses it
    {
        ConcurrentQueue queue("test");
        queue.barrierAsync([&] { release.wait(); });
        for (int i = 0; i < 100; ++i) queue.barrierAsync([&run] { ++run; });
        release.raise();
    }
    EXPECT_EQ(run.load(), 100);
}

}  // namespace
}  // namespace tarnwick
