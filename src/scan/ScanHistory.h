#pragma once
// The scans of this run: every scan the driver started, with its record, and how many are running
// now. Nothing is kept between runs.
//
// The records are touched only through the history's concurrent queue: reads as synchronous
// tasks, writes as barrier tasks, so that for one scan the stored record goes through start, any
// stop, then finish, in that order. The running count has a lock of its own. Changes are announced
// on the main thread with "yaraScanUpdateNotification" and "yaraScanCountUpdateNotification"
// ("activeScanCount"); the object of both is the history.
#include "platform/ConcurrentQueue.h"
#include "platform/Lifetime.h"
#include "scan/YaraScan.h"
#include "yara/YaraFile.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

namespace tarnwick {

class ScanHistory {
public:
    ScanHistory();
    ScanHistory(const ScanHistory&) = delete;
    ScanHistory& operator=(const ScanHistory&) = delete;

    // The scans of this run, earliest start first.
    std::vector<YaraScan> scans() const;

    // Makes, stores and counts a new running scan; answers its record. A `scans` read after
    // this returns lists it.
    YaraScan startScan(const std::string& target, std::vector<YaraFile> ruleFiles);

    // Stores the scan as complete, ended now, and uncounts it.
    void finishScan(const YaraScan& scan);

    // Asks a running scan to stop; a scan that has finished is left as it is.
    void stopScan(const YaraScan& scan);

    // Whether a stop was asked for the stored record of this scan.
    bool isScanAborted(const YaraScan& scan) const;

    // Scans now running.
    int64_t activeScanCount() const;

private:
    // Replaces the stored record of the same uid unless there is none or it is complete. Runs
    // inside a barrier task.
    void storeScan(const YaraScan& scan);
    void announceScans();
    void changeActiveScanCount(int64_t by);

    std::unordered_set<YaraScan, YaraScanHash> _scans;  // on the queue only
    mutable std::mutex scanCountLock_;
    int64_t _activeScanCount = 0;                       // under scanCountLock_
    // Destroyed before the records: the writes still queued run first.
    mutable ConcurrentQueue queue_;
    Lifetime lifetime_;
};

}  // namespace tarnwick
