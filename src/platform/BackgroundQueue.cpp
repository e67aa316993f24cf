#include "platform/BackgroundQueue.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace tarnwick::BackgroundQueue {
namespace {

class Pool {
public:
    void post(std::function<void()> task) {
        std::lock_guard guard(mutex_);
        tasks_.push_back(std::move(task));
        if (idle_ < tasks_.size()) {
            // Workers are detached and the pool is never destroyed: work still running when the
            // process exits is simply ended with it.
            std::thread([this] { work(); }).detach();
        } else {
            wake_.notify_one();
        }
    }

private:
    void work() {
        std::unique_lock lock(mutex_);
        for (;;) {
            ++idle_;
            wake_.wait(lock, [this] { return !tasks_.empty(); });
            --idle_;
            auto task = std::move(tasks_.front());
            tasks_.pop_front();
            lock.unlock();
            task();
            task = nullptr;
            lock.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> tasks_;
    size_t idle_ = 0;
};

Pool& pool() {
    static Pool* instance = new Pool;
    return *instance;
}

}  // namespace

void async(std::function<void()> task) { pool().post(std::move(task)); }

}  // namespace tarnwick::BackgroundQueue
