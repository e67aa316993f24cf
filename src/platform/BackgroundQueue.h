#pragma once
// The shared background queue of default priority: tasks run on worker threads, several at once.
// A worker is added whenever every worker is busy, so a task that blocks for long (a software
// update, an HTTP transfer) never holds back the others.
#include <functional>

namespace tarnwick::BackgroundQueue {

void async(std::function<void()> task);

}  // namespace tarnwick::BackgroundQueue
