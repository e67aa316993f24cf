#pragma once
// The record of one scan: its target, the rule files it used, its times, status, file count and
// matches, and what kept it from being a whole scan. Records are values; the stored record of a
// scan is the one in the scan history with the same `uid`, the scan's identity.
#include "engine/RuleMatch.h"
#include "platform/DateFormatter.h"
#include "scan/ScanStatusValues.h"
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
    // Why the scan is not a whole one: rule files that did not compile, a target that could not be
    // read, an engine that failed, no rules at all. Empty for a clean scan. At most
    // `ScanMessages::limit` entries and a last one telling how many more there were.
    std::vector<std::string> errors;
    DateFormatter dateFormatter;  // "yyyy-MM-dd HH:mm:ss", the machine's locale and time zone

    // Scans are the same scan when their uids are.
    bool operator==(const YaraScan& other) const { return uid == other.uid; }
};

struct YaraScanHash {
    size_t operator()(const YaraScan& scan) const { return std::hash<int64_t>{}(scan.uid); }
};

}  // namespace tarnwick
