#pragma once
// Worker threads that scan the files handed to them, several at once. Files wait in a short
// queue: a walker that hands files faster than they are scanned waits, so memory does not grow
// with the tree. Each worker has its own scanner. A file that fails to scan is passed by with a
// warning; when it is the walk's root (a tree of one file) that is an error.
//
// The workers are started by the constructor, so they run at the priority of the thread that
// makes the pool (Linux threads inherit processor and disk priority from the thread that starts
// them): a pool made on a scan thread in the background scans in the background.
#include "engine/CompiledRules.h"
#include "engine/RuleMatch.h"
#include "engine/ScanMessages.h"
#include "engine/TreeWalker.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tarnwick {

class RulesScanner;

class ScanPool {
public:
    // Starts `workers` threads (at least one; if none can be started the files are scanned by
    // the thread that hands them over).
    ScanPool(std::shared_ptr<const CompiledRules> rules, int timeout, bool fastMode, unsigned workers,
             ScanMessages& messages);
    // Finishes the files handed over, as `finish` does.
    ~ScanPool();
    ScanPool(const ScanPool&) = delete;
    ScanPool& operator=(const ScanPool&) = delete;

    // Hands a file over; waits while the queue is full.
    void submit(WalkedFile file);

    // Waits until every file handed over has been scanned and answers the matches, in the order
    // the files were handed over. Call once, after the last `submit`.
    std::vector<RuleMatch> finish();

    // One worker per core.
    static unsigned defaultWorkerCount();

    // The name of each worker thread, as tools such as top show it.
    static constexpr const char* workerName = "tarnwick.worker";

    // Files waiting at most, per worker.
    static constexpr size_t queuedPerWorker = 16;

private:
    struct Job {
        uint64_t sequence;
        WalkedFile file;
    };
    struct Found {
        uint64_t sequence;
        RuleMatch match;
    };
    void work(size_t worker);
    void scanJob(RulesScanner& scanner, Job& job, std::vector<Found>& found);

    std::shared_ptr<const CompiledRules> rules_;
    const int timeout_;
    const bool fastMode_;
    ScanMessages& messages_;

    std::mutex mutex_;
    std::condition_variable jobReady_;
    std::condition_variable spaceFree_;
    std::deque<Job> queue_;
    size_t capacity_ = queuedPerWorker;
    bool closed_ = false;
    uint64_t nextSequence_ = 0;

    std::vector<std::thread> workers_;
    std::vector<std::vector<Found>> found_;  // one list per worker, read after they have ended
    std::unique_ptr<RulesScanner> inlineScanner_;  // when no worker could be started
    std::vector<Found> inlineFound_;
    bool finished_ = false;
};

}  // namespace tarnwick
