#pragma once
// The rules model: every rule the program knows, the rule files they came from, and (for the
// scanner) the scan history. Rule files are checked by the YARA engine, then read by the rule
// converter "yago" shipped in the resources.
//
// `addRuleFile` and `removeRuleFile` change the model: run them as barrier tasks on
// `concurrentQueue`. Each posts one "yaraFilesUpdateNotification" on the main thread whose
// "error" is "" on success.
//
// The scan history lives in `_scans`, touched only through `concurrentQueue` (reads synchronous,
// writes as barrier tasks); `_activeScanCount` is guarded by a lock of its own. Changes are
// announced on the main thread with "yaraScanUpdateNotification" and
// "yaraScanCountUpdateNotification" ("activeScanCount").
#include "models/XPArrayModel.h"
#include "scan/YaraScan.h"
#include "yara/YaraFile.h"
#include "yara/YaraRule.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace tarnwick {

class YaraModel : public XPArrayModel<YaraRule> {
public:
    YaraModel(std::vector<YaraRule> data, TarnwickNotificationNames notification, std::string enrichURL);
    // Lets the writes already queued run while the rule files and scans still exist.
    ~YaraModel();

    // Loads the rule file, or loads it again in place of its earlier load. With enrichment (only
    // XProtect's own file) the rules take their descriptions from the shipped malware list, and
    // the remote signature index is fetched afterwards.
    void addRuleFile(const std::string& path, bool withEnrichment);

    // Removes the rule file of that path and its rules. A path not loaded changes nothing.
    void removeRuleFile(const std::string& path);

    // The loaded rule files in the order added, read on the model's queue.
    std::vector<YaraFile> ruleFiles() const;

    // Runs the converter on the file and builds its rules, enriched from the malware list (null:
    // no enrichment, every rule gets empty fields).
    std::vector<YaraRule> loadRules(const std::string& path, const nlohmann::json& malwareList) const;

    // Drops the file's entry and its rules (paths compared as text).
    void dropRuleFile(const std::string& path);

    // Posts "yaraFilesUpdateNotification" with this error text from the main thread.
    void announceRuleFiles(const std::string& error);

    // Where the converter is run from; by default the "yago" of the resources. Tests put a
    // converter of their own here.
    void setConverterPath(std::optional<std::string> path) { converterPath_ = std::move(path); }

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

    std::vector<YaraFile> _ruleFiles;
    std::unordered_set<YaraScan, YaraScanHash> _scans;
    int64_t _activeScanCount = 0;  // guarded by scanCountLock_

private:
    // Replaces the stored record of the same uid unless there is none or it is complete. Runs
    // inside a barrier task.
    void storeScan(const YaraScan& scan);
    void announceScans();
    void changeActiveScanCount(int64_t by);

    mutable std::mutex scanCountLock_;
    std::optional<std::string> converterPath() const;

    std::optional<std::string> converterPath_;
};

// The shipped malware list, or null when it is missing or not JSON.
nlohmann::json loadMalwareList();

}  // namespace tarnwick
