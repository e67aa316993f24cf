#include "engine/ScanPool.h"

#include "engine/RulesScanner.h"

#include <pthread.h>

#include <algorithm>
#include <string>
#include <system_error>

namespace tarnwick {

// Linux keeps at most 15 characters of a thread's name.
static_assert(std::char_traits<char>::length(ScanPool::workerName) <= 15);

unsigned ScanPool::defaultWorkerCount() { return std::max(1u, std::thread::hardware_concurrency()); }

ScanPool::ScanPool(std::shared_ptr<const CompiledRules> rules, int timeout, bool fastMode, unsigned workers,
                   ScanMessages& messages)
    : rules_(std::move(rules)), timeout_(timeout), fastMode_(fastMode), messages_(messages) {
    workers = std::max(1u, workers);
    capacity_ = queuedPerWorker * workers;
    found_.resize(workers);
    try {
        for (size_t i = 0; i < workers; ++i) {
            workers_.emplace_back([this, i] { work(i); });
            pthread_setname_np(workers_.back().native_handle(), workerName);
        }
    } catch (const std::system_error&) {
        // Threads are a limited resource; with fewer the scan is slower, not wrong.
        found_.resize(workers_.size());
        if (workers_.empty()) inlineScanner_ = std::make_unique<RulesScanner>(rules_, timeout_, fastMode_, messages_);
    }
}

ScanPool::~ScanPool() {
    if (!finished_) finish();
}

void ScanPool::submit(WalkedFile file) {
    if (inlineScanner_) {
        Job job{nextSequence_++, std::move(file)};
        scanJob(*inlineScanner_, job, inlineFound_);
        return;
    }
    std::unique_lock lock(mutex_);
    spaceFree_.wait(lock, [&] { return queue_.size() < capacity_; });
    queue_.push_back(Job{nextSequence_++, std::move(file)});
    lock.unlock();
    jobReady_.notify_one();
}

void ScanPool::scanJob(RulesScanner& scanner, Job& job, std::vector<Found>& found) {
    std::vector<RuleMatch> matches;
    // A file inside the tree that fails is passed by; the root given as a file is the whole scan.
    scanner.scan(job.file.fd.get(), job.file.path, matches,
                 job.file.root ? ScanMessages::Level::error : ScanMessages::Level::warning);
    job.file.fd.reset();
    for (RuleMatch& match : matches) found.push_back(Found{job.sequence, std::move(match)});
}

void ScanPool::work(size_t worker) {
    RulesScanner scanner(rules_, timeout_, fastMode_, messages_);
    std::vector<Found> found;
    for (;;) {
        std::unique_lock lock(mutex_);
        jobReady_.wait(lock, [&] { return !queue_.empty() || closed_; });
        if (queue_.empty()) break;  // closed and drained
        Job job = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        spaceFree_.notify_one();
        scanJob(scanner, job, found);
    }
    found_[worker] = std::move(found);  // read by finish() after the join
}

std::vector<RuleMatch> ScanPool::finish() {
    finished_ = true;
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    jobReady_.notify_all();
    for (std::thread& worker : workers_) worker.join();
    workers_.clear();

    std::vector<Found> all = std::move(inlineFound_);
    for (auto& list : found_) all.insert(all.end(), std::make_move_iterator(list.begin()), std::make_move_iterator(list.end()));
    // Within one file libyara reports in rule order; keep it.
    std::stable_sort(all.begin(), all.end(), [](const Found& a, const Found& b) { return a.sequence < b.sequence; });
    std::vector<RuleMatch> matches;
    matches.reserve(all.size());
    for (Found& f : all) matches.push_back(std::move(f.match));
    return matches;
}

}  // namespace tarnwick
