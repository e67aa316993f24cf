#include "platform/ConcurrentQueue.h"

#include <gtest/gtest.h>

#include <atomic>

namespace tarnwick {
namespace {

TEST(ConcurrentQueue, SyncAfterBarrierSeesTheWrite) {
    ConcurrentQueue queue("test");
    int value = 0;  // guarded by the queue
    for (int i = 1; i <= 200; ++i) {
        queue.barrierAsync([&value, i] { value = i; });
        EXPECT_EQ(queue.sync([&] { return value; }), i);
    }
}

}  // namespace
}  // namespace tarnwick
