#pragma once
// The record of one scan: its target, the rule files it used, its times, status, file count and
// matches. Records are values; the stored record of a scan is the one in the rules model's scan
// set with the same `uid`, the scan's identity.
#include "platform/DateFormatter.h"
#include "scan/ScanStatusValues.h"
#include "yara/RuleMatch.h"
#include "yara/YaraFile.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

struct YaraScan {
    using Clock = std::chrono::system_clock;

    // A new record: the next uid of the run, started now, no status, nothing scanned yet.
    YaraScan(std::string target, std::vector<YaraFile> ruleFiles);

    int64_t uid = 0;
    std::string scanTarget;
    std::vector<YaraFile> ruleFiles;
    Clock::time_point scanStartTime;
    std::optional<Clock::time_point> scanEndTime;
    std::vector<RuleMatch> matches;
    std::optional<ScanStatusValues> scanStatus;
    int64_t fileCount = 0;
    DateFormatter dateFormatter;  // "yyyy-MM-dd HH:mm:ss", the machine's locale and time zone

    // Scans are the same scan when their uids are.
    bool operator==(const YaraScan& other) const { return uid == other.uid; }
};

struct YaraScanHash {
    size_t operator()(const YaraScan& scan) const { return std::hash<int64_t>{}(scan.uid); }
};

}  // namespace tarnwick
