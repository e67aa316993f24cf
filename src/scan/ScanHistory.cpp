#include "scan/ScanHistory.h"

#include "models/NotificationNames.h"
#include "platform/MainQueue.h"
#include "platform/NotificationCenter.h"

#include <algorithm>

namespace tarnwick {

ScanHistory::ScanHistory() : queue_("com.velmora.concurrentYaraScanQueue") {}

std::vector<YaraScan> ScanHistory::scans() const {
    std::vector<YaraScan> list = queue_.sync([this] { return std::vector<YaraScan>(_scans.begin(), _scans.end()); });
    std::sort(list.begin(), list.end(),
              [](const YaraScan& a, const YaraScan& b) { return a.scanStartTime < b.scanStartTime; });
    return list;
}

YaraScan ScanHistory::startScan(const std::string& target, std::vector<YaraFile> ruleFiles) {
    YaraScan scan(target, std::move(ruleFiles));
    scan.scanStatus = ScanStatusValues::running;
    queue_.barrierAsync([this, scan] {
        if (_scans.insert(scan).second) announceScans();
    });
    changeActiveScanCount(+1);
    return scan;
}

void ScanHistory::finishScan(const YaraScan& scan) {
    YaraScan finished = scan;
    finished.scanEndTime = YaraScan::Clock::now();
    finished.scanStatus = ScanStatusValues::complete;
    queue_.barrierAsync([this, finished = std::move(finished)] { storeScan(finished); });
    changeActiveScanCount(-1);
}

void ScanHistory::stopScan(const YaraScan& scan) {
    YaraScan stopping = scan;
    if (stopping.scanStatus == ScanStatusValues::running) stopping.scanStatus = ScanStatusValues::shouldAbort;
    queue_.barrierAsync([this, stopping = std::move(stopping)] { storeScan(stopping); });
}

bool ScanHistory::isScanAborted(const YaraScan& scan) const {
    return queue_.sync([&] {
        auto stored = _scans.find(scan);
        return stored != _scans.end() && stored->scanStatus == ScanStatusValues::shouldAbort;
    });
}

int64_t ScanHistory::activeScanCount() const {
    std::lock_guard lock(scanCountLock_);
    return _activeScanCount;
}

void ScanHistory::storeScan(const YaraScan& scan) {
    auto stored = _scans.find(scan);
    if (stored == _scans.end() || stored->scanStatus == ScanStatusValues::complete) return;
    _scans.erase(stored);
    _scans.insert(scan);
    announceScans();
}

void ScanHistory::announceScans() {
    MainQueue::async(lifetime_.guard([this] {
        NotificationCenter::defaultCenter().post(name(TarnwickNotificationNames::yaraScanUpdateNotification), this);
    }));
}

void ScanHistory::changeActiveScanCount(int64_t by) {
    // The notice is queued under the lock, so the main thread hears the counts in order.
    std::lock_guard lock(scanCountLock_);
    _activeScanCount += by;
    MainQueue::async(lifetime_.guard([this, count = _activeScanCount] {
        NotificationCenter::defaultCenter().post(name(TarnwickNotificationNames::yaraScanCountUpdateNotification), this,
                                                 {{"activeScanCount", count}});
    }));
}

}  // namespace tarnwick
