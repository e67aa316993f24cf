#pragma once
// The rules model: every rule the program knows and the rule files they came from. Rule files are
// checked by the YARA engine, then read by the rule converter "yago" shipped in the resources.
//
// Rule files are added and removed through `queueAddRuleFile` and `queueRemoveRuleFile`, which
// return at once. Each operation posts one "yaraFilesUpdateNotification" on the main thread whose
// "error" is "" on success; operations take effect, and are announced, in the order they were
// asked for. The slow part of an add (the engine's check and the converter) runs on the model's
// loading thread with nothing held, so reads of the rules and of the rule files go on meanwhile;
// only the swap of the result into the lists is a barrier task on `concurrentQueue`.
#include "models/XPArrayModel.h"
#include "platform/ConcurrentQueue.h"
#include "platform/Lifetime.h"
#include "yara/YaraFile.h"
#include "yara/YaraRule.h"

#include <nlohmann/json.hpp>

#include <atomic>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

class YaraModel : public XPArrayModel<YaraRule> {
public:
    YaraModel(std::vector<YaraRule> data, TarnwickNotificationNames notification, std::string enrichURL);
    // Lets the operations already asked for run while the rule files still exist.
    ~YaraModel() override;

    // Loads the rule file, or loads it again in place of its earlier load. With enrichment (only
    // XProtect's own file) the rules take their descriptions from the shipped malware list, and
    // the remote signature index is fetched afterwards. Returns at once.
    void queueAddRuleFile(const std::string& path, bool withEnrichment);

    // Removes the rule file of that path and its rules; a path not loaded changes nothing.
    // Returns at once.
    void queueRemoveRuleFile(const std::string& path);

    // Operations asked for whose announcement has not been posted yet. Once it is 0, the
    // signature enrichment an add started is counted by `pendingEnrichments`.
    int pendingRuleFileOperations() const { return pendingOperations_.load(); }

    // The loaded rule files in the order added, read on the model's queue.
    std::vector<YaraFile> ruleFiles() const;

    // Runs the converter on the file and builds its rules, enriched from the malware list (null:
    // no enrichment, every rule gets empty fields).
    std::vector<YaraRule> loadRules(const std::string& path, const nlohmann::json& malwareList) const;

    // Where the converter is run from; by default the "yago" of the resources. Tests put a
    // converter of their own here before they add files.
    void setConverterPath(std::optional<std::string> path) { converterPath_ = std::move(path); }

private:
    // What reading a rule file came to, before anything of the model changes.
    struct RuleFileLoad {
        std::string path;
        std::string error;  // the announcement's text; "" when the file loaded
        std::vector<YaraRule> rules;
        bool withEnrichment = false;
    };

    // Checks the file with the engine and converts it. Touches nothing of the model.
    RuleFileLoad readRuleFile(const std::string& path, bool withEnrichment) const;
    // Puts a read rule file in place of its earlier load and announces it; inside a barrier task.
    void addRuleFile(RuleFileLoad load);
    // Inside a barrier task.
    void removeRuleFile(const std::string& path);
    // Drops the file's entry and its rules (paths compared as text).
    void dropRuleFile(const std::string& path);
    // Posts "yaraFilesUpdateNotification" with this error text from the main thread.
    void announceRuleFiles(const std::string& error);
    // Uncounts an operation on the main thread, once all it queued there has run.
    void finishOperation();
    std::optional<std::string> converterPath() const;

    std::vector<YaraFile> _ruleFiles;  // on `concurrentQueue` only
    std::optional<std::string> converterPath_;
    std::atomic<int> pendingOperations_{0};
    // Runs the operations one after another, in the order asked for.
    ConcurrentQueue loading_;
    Lifetime lifetime_;
};

// The shipped malware list, or null when it is missing or not JSON.
nlohmann::json loadMalwareList();

}  // namespace tarnwick
