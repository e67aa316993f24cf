#include "yara/YaraModel.h"

#include "app/PlatformHelpers.h"
#include "platform/LenientJson.h"
#include "platform/Resources.h"
#include "yara/ConverterDocument.h"
#include "yara/YaraEngine.h"

#include <algorithm>
#include <filesystem>

namespace tarnwick {

YaraModel::YaraModel(std::vector<YaraRule> data, TarnwickNotificationNames notification, std::string enrichURL)
    : XPArrayModel(std::move(data), notification, std::move(enrichURL)) {}

YaraModel::~YaraModel() {
    concurrentQueue.barrierSync([] {});
}

nlohmann::json loadMalwareList() {
    auto text = resources::read("MalwareList", "json");
    if (!text) return nullptr;
    auto document = json::parse(*text);
    return document ? std::move(*document) : nlohmann::json(nullptr);
}

void YaraModel::addRuleFile(const std::string& path, bool withEnrichment) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        announceRuleFiles("File does not exist");
        return;
    }
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
    YaraEngine engine;
    if (!engine.validateRulesAtPath(path, errors, warnings) || !errors.empty()) {
        for (const std::string& error : errors) TW_LOG_ERROR(error);
        announceRuleFiles("Error loading file " + path);
        return;
    }
    const nlohmann::json malwareList = withEnrichment ? loadMalwareList() : nlohmann::json(nullptr);
    dropRuleFile(path);
    std::vector<YaraRule> rules = loadRules(path, malwareList);
    _data.insert(_data.end(), rules.begin(), rules.end());
    _ruleFiles.push_back(YaraFile{path, std::move(rules)});
    announceRuleFiles("");
    if (withEnrichment) enrich();
}

void YaraModel::removeRuleFile(const std::string& path) {
    dropRuleFile(path);
    announceRuleFiles("");
}

std::vector<YaraFile> YaraModel::ruleFiles() const {
    return concurrentQueue.sync([this] { return _ruleFiles; });
}

std::optional<std::string> YaraModel::converterPath() const {
    if (converterPath_) return converterPath_;
    if (auto found = resources::path("yago", "")) return found->string();
    return std::nullopt;
}

std::vector<YaraRule> YaraModel::loadRules(const std::string& path, const nlohmann::json& malwareList) const {
    auto converter = converterPath();
    if (!converter) return {};
    auto output = launchAndReturnStdOut(*converter, {"fileName", path, "--validJSON"});
    if (!output || output->empty()) return {};
    std::vector<YaraRule> rules;
    for (YaraRuleFields& fields : readConverterText(*output)) {
        fields.filepath = path;
        enrichFields(fields, malwareList);
        rules.emplace_back(std::move(fields));
    }
    return rules;
}

void YaraModel::dropRuleFile(const std::string& path) {
    std::erase_if(_ruleFiles, [&](const YaraFile& file) { return file.filepath == path; });
    std::erase_if(_data, [&](const YaraRule& rule) { return rule->filepath == path; });
}

void YaraModel::announceRuleFiles(const std::string& error) {
    MainQueue::async([this, error] {
        NotificationCenter::defaultCenter().post(name(TarnwickNotificationNames::yaraFilesUpdateNotification),
                                                 static_cast<XPArrayModel<YaraRule>*>(this), {{"error", error}});
    });
}

std::vector<YaraScan> YaraModel::scans() const {
    std::vector<YaraScan> list = concurrentQueue.sync([this] { return std::vector<YaraScan>(_scans.begin(), _scans.end()); });
    std::sort(list.begin(), list.end(),
              [](const YaraScan& a, const YaraScan& b) { return a.scanStartTime < b.scanStartTime; });
    return list;
}

YaraScan YaraModel::startScan(const std::string& target, std::vector<YaraFile> ruleFiles) {
    YaraScan scan(target, std::move(ruleFiles));
    scan.scanStatus = ScanStatusValues::running;
    concurrentQueue.barrierAsync([this, scan] {
        if (_scans.insert(scan).second) announceScans();
    });
    changeActiveScanCount(+1);
    return scan;
}

void YaraModel::finishScan(const YaraScan& scan) {
    YaraScan finished = scan;
    finished.scanEndTime = YaraScan::Clock::now();
    finished.scanStatus = ScanStatusValues::complete;
    concurrentQueue.barrierAsync([this, finished = std::move(finished)] { storeScan(finished); });
    changeActiveScanCount(-1);
}

void YaraModel::stopScan(const YaraScan& scan) {
    YaraScan stopping = scan;
    if (stopping.scanStatus == ScanStatusValues::running) stopping.scanStatus = ScanStatusValues::shouldAbort;
    concurrentQueue.barrierAsync([this, stopping = std::move(stopping)] { storeScan(stopping); });
}

bool YaraModel::isScanAborted(const YaraScan& scan) const {
    return concurrentQueue.sync([&] {
        auto stored = _scans.find(scan);
        return stored != _scans.end() && stored->scanStatus == ScanStatusValues::shouldAbort;
    });
}

int64_t YaraModel::activeScanCount() const {
    std::lock_guard lock(scanCountLock_);
    return _activeScanCount;
}

void YaraModel::storeScan(const YaraScan& scan) {
    auto stored = _scans.find(scan);
    if (stored == _scans.end() || stored->scanStatus == ScanStatusValues::complete) return;
    _scans.erase(stored);
    _scans.insert(scan);
    announceScans();
}

void YaraModel::announceScans() {
    MainQueue::async([this] {
        NotificationCenter::defaultCenter().post(name(TarnwickNotificationNames::yaraScanUpdateNotification),
                                                 static_cast<XPArrayModel<YaraRule>*>(this));
    });
}

void YaraModel::changeActiveScanCount(int64_t by) {
    // The notice is queued under the lock, so the main thread hears the counts in order.
    std::lock_guard lock(scanCountLock_);
    _activeScanCount += by;
    MainQueue::async([this, count = _activeScanCount] {
        NotificationCenter::defaultCenter().post(name(TarnwickNotificationNames::yaraScanCountUpdateNotification),
                                                 static_cast<XPArrayModel<YaraRule>*>(this), {{"activeScanCount", count}});
    });
}

}  // namespace tarnwick
