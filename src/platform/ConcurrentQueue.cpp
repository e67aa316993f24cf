#include "platform/ConcurrentQueue.h"


namespace tarnwick {

ConcurrentQueue::ConcurrentQueue(std::string label) : label_(std::move(label)) {
    barrierThread_ = std::thread([this] { barrierThreadMain(); });
}

ConcurrentQueue::~ConcurrentQueue() {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return pending_.empty() && !barrierRunning_ && activeReaders_ == 0; });
        stopping_ = true;
    }
    changed_.notify_all();
    barrierThread_.join();
}

void ConcurrentQueue::barrierAsync(Task task) {
    {
        std::lock_guard guard(mutex_);
        pending_.push_back(Entry{true, nextTicket_++, std::move(task)});
        admitLocked();
    }
    changed_.notify_all();
}

void ConcurrentQueue::barrierSync(const Task& task) {
    std::mutex doneMutex;
    std::condition_variable doneChanged;
    bool done = false;
    barrierAsync([&] {
        task();
        std::lock_guard guard(doneMutex);
        done = true;
        doneChanged.notify_all();
    });
    std::unique_lock lock(doneMutex);
    doneChanged.wait(lock, [&] { return done; });
}

// Readers at the head start together while no barrier runs; a barrier at the head starts once
// the readers admitted before it have left. Nothing behind a waiting barrier starts.
void ConcurrentQueue::admitLocked() {
    while (!pending_.empty() && !barrierRunning_) {
        Entry& head = pending_.front();
        if (!head.barrier) {
            ++activeReaders_;
            admittedReaders_ = head.ticket + 1;
            pending_.pop_front();
            continue;
        }
        if (activeReaders_ > 0) break;
        barrierRunning_ = true;
        readyBarrier_ = std::move(head.task);
        pending_.pop_front();
    }
}

ConcurrentQueue::ReaderTicket::ReaderTicket(ConcurrentQueue& queue) : queue_(queue) {
    std::unique_lock lock(queue_.mutex_);
    const uint64_t ticket = queue_.nextTicket_++;
    queue_.pending_.push_back(Entry{false, ticket, nullptr});
    queue_.admitLocked();
    queue_.changed_.notify_all();
    queue_.changed_.wait(lock, [&] { return queue_.admittedReaders_ > ticket; });
}

ConcurrentQueue::ReaderTicket::~ReaderTicket() {
    {
        std::lock_guard guard(queue_.mutex_);
        --queue_.activeReaders_;
        queue_.admitLocked();
    }
    queue_.changed_.notify_all();
}

void ConcurrentQueue::barrierThreadMain() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return readyBarrier_ != nullptr || stopping_; });
        if (readyBarrier_) {
            Task task = std::move(readyBarrier_);
            readyBarrier_ = nullptr;
            lock.unlock();
            task();
            task = nullptr;
            lock.lock();
            barrierRunning_ = false;
            admitLocked();
            changed_.notify_all();
            continue;
        }
        if (stopping_) return;
    }
}

}  // namespace tarnwick
