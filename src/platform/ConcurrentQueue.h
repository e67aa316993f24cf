#pragma once
// A concurrent queue with barrier tasks, after the model of a GCD concurrent queue:
// - `sync(fn)` runs a reader on the calling thread; any number of readers run at once;
// - `barrierAsync(fn)` queues a writer that runs alone on the queue's own thread: it waits for the
//   readers admitted before it, and holds back every task queued after it until it has finished;
// - tasks are admitted strictly in the order queued, so a `sync` issued after a `barrierAsync`
//   returned sees that write.
// Calling `sync` or `barrierSync` from inside a task of the same queue deadlocks, as in GCD.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <type_traits>

namespace tarnwick {

class ConcurrentQueue {
public:
    using Task = std::function<void()>;

    explicit ConcurrentQueue(std::string label);
    // Waits for every queued task to finish.
    ~ConcurrentQueue();
    ConcurrentQueue(const ConcurrentQueue&) = delete;
    ConcurrentQueue& operator=(const ConcurrentQueue&) = delete;

    const std::string& label() const { return label_; }

    template <class F>
    auto sync(F&& fn) -> std::invoke_result_t<F&> {
        ReaderTicket ticket(*this);
        return fn();
    }

    void barrierAsync(Task task);
    // Queues a barrier and waits until it has run.
    void barrierSync(const Task& task);

private:
    struct Entry {
        bool barrier = false;
        uint64_t ticket = 0;
        Task task;  // barriers only
    };

    // Admits a reader in queue order and releases it on destruction.
    class ReaderTicket {
    public:
        explicit ReaderTicket(ConcurrentQueue& queue);
        ~ReaderTicket();
        ReaderTicket(const ReaderTicket&) = delete;
        ReaderTicket& operator=(const ReaderTicket&) = delete;

    private:
        ConcurrentQueue& queue_;
    };

    void admitLocked();  // starts whatever may start at the head of the queue
    void barrierThreadMain();

    const std::string label_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Entry> pending_;
    uint64_t nextTicket_ = 0;
    uint64_t admittedReaders_ = 0;  // tickets up to here (exclusive) have been admitted
    int activeReaders_ = 0;
    bool barrierRunning_ = false;
    Task readyBarrier_;
    bool stopping_ = false;
    std::thread barrierThread_;
};

}  // namespace tarnwick
