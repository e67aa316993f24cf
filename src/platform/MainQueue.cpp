#include "platform/MainQueue.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace tarnwick {
namespace {

// A run loop over a FIFO of tasks. A stop request is counted, so that a stop that arrives between
// two runs (or before the first) is not lost.
class RunLoopBackend final : public MainQueue::Backend {
public:
    void post(MainQueue::Task task) override {
        {
            std::lock_guard guard(mutex_);
            tasks_.push_back(std::move(task));
        }
        wake_.notify_all();
    }

    void run() override { runUntil(std::chrono::steady_clock::time_point::max()); }

    bool runUntil(std::chrono::steady_clock::time_point deadline) override {
        std::unique_lock lock(mutex_);
        for (;;) {
            if (stops_ > 0) {
                --stops_;
                return true;
            }
            // Checked before every task too: a task that queues another (a poller) never lets
            // the queue run dry.
            if (deadline != std::chrono::steady_clock::time_point::max() && std::chrono::steady_clock::now() >= deadline)
                return false;
            if (!tasks_.empty()) {
                MainQueue::Task task = std::move(tasks_.front());
                tasks_.pop_front();
                lock.unlock();
                task();
                task = nullptr;  // destroy captured state outside the lock
                lock.lock();
                continue;
            }
            if (deadline == std::chrono::steady_clock::time_point::max()) {
                wake_.wait(lock);
            } else if (wake_.wait_until(lock, deadline) == std::cv_status::timeout && tasks_.empty() &&
                       stops_ == 0) {
                return false;
            }
        }
    }

    void runPending(std::chrono::steady_clock::time_point deadline) override {
        std::unique_lock lock(mutex_);
        if (tasks_.empty()) wake_.wait_until(lock, deadline, [this] { return !tasks_.empty(); });
        // Take the tasks one at a time from the shared FIFO, so that a task that runs a nested
        // loop finds the rest still queued, in order.
        for (size_t n = tasks_.size(); n > 0 && !tasks_.empty(); --n) {
            MainQueue::Task task = std::move(tasks_.front());
            tasks_.pop_front();
            lock.unlock();
            task();
            task = nullptr;
            lock.lock();
        }
    }

    void stop() override {
        {
            std::lock_guard guard(mutex_);
            ++stops_;
        }
        wake_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<MainQueue::Task> tasks_;
    int stops_ = 0;
};

std::mutex backendMutex;

std::shared_ptr<MainQueue::Backend>& backendSlot() {
    // Never destroyed: tasks may still be queued from other threads while the process exits.
    static auto* slot = new std::shared_ptr<MainQueue::Backend>(std::make_shared<RunLoopBackend>());
    return *slot;
}

std::shared_ptr<MainQueue::Backend> backend() {
    std::lock_guard guard(backendMutex);
    return backendSlot();
}

const std::thread::id mainThreadId = std::this_thread::get_id();

}  // namespace

void MainQueue::async(Task task) { backend()->post(std::move(task)); }

void MainQueue::run() { backend()->run(); }

bool MainQueue::runFor(std::chrono::milliseconds timeout) {
    return backend()->runUntil(std::chrono::steady_clock::now() + timeout);
}

bool MainQueue::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto loop = backend();
    while (!done()) {
        auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return false;
        // Look at the condition again at least every few milliseconds: a thread that queues
        // nothing may change it.
        loop->runPending(std::min(deadline, now + std::chrono::milliseconds(5)));
    }
    return true;
}

void MainQueue::stop() { backend()->stop(); }

void MainQueue::setBackend(std::shared_ptr<Backend> replacement) {
    std::lock_guard guard(backendMutex);
    backendSlot() = std::move(replacement);
}

bool MainQueue::isMainThread() { return std::this_thread::get_id() == mainThreadId; }

}  // namespace tarnwick
