#include "yara/YaraModel.h"

#include "engine/YaraEngine.h"
#include "platform/LenientJson.h"
#include "platform/Resources.h"
#include "yara/RuleConverter.h"

#include <algorithm>
#include <filesystem>

namespace tarnwick {

YaraModel::YaraModel(std::vector<YaraRule> data, TarnwickNotificationNames notification, std::string enrichURL)
    : XPArrayModel(std::move(data), notification, std::move(enrichURL)), loading_("com.velmora.loadingYaraRuleQueue") {}

YaraModel::~YaraModel() {
    loading_.barrierSync([] {});
    concurrentQueue.barrierSync([] {});
}

nlohmann::json loadMalwareList() {
    auto text = resources::read("MalwareList", "json");
    if (!text) return nullptr;
    auto document = json::parse(*text);
    return document ? std::move(*document) : nlohmann::json(nullptr);
}

void YaraModel::queueAddRuleFile(const std::string& path, bool withEnrichment) {
    ++pendingOperations_;
    loading_.barrierAsync([this, path, withEnrichment] {
        RuleFileLoad load = readRuleFile(path, withEnrichment);
        concurrentQueue.barrierAsync([this, load = std::move(load)]() mutable { addRuleFile(std::move(load)); });
    });
}

void YaraModel::queueRemoveRuleFile(const std::string& path) {
    ++pendingOperations_;
    // Through the loading thread too, so that it comes after the adds asked for before it.
    loading_.barrierAsync([this, path] { concurrentQueue.barrierAsync([this, path] { removeRuleFile(path); }); });
}

YaraModel::RuleFileLoad YaraModel::readRuleFile(const std::string& path, bool withEnrichment) const {
    RuleFileLoad load{path, "", {}, withEnrichment};
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        load.error = "File does not exist";
        return load;
    }
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
    YaraEngine engine;
    if (!engine.validateRulesAtPath(path, errors, warnings) || !errors.empty()) {
        for (const std::string& error : errors) TW_LOG_ERROR(error);
        load.error = "Error loading file " + path;
        return load;
    }
    const nlohmann::json malwareList = withEnrichment ? loadMalwareList() : nlohmann::json(nullptr);
    load.rules = loadRules(path, malwareList);
    return load;
}

void YaraModel::addRuleFile(RuleFileLoad load) {
    if (!load.error.empty()) {
        announceRuleFiles(load.error);
        finishOperation();
        return;
    }
    dropRuleFile(load.path);
    _data.insert(_data.end(), load.rules.begin(), load.rules.end());
    _ruleFiles.push_back(YaraFile{load.path, std::move(load.rules)});
    announceRuleFiles("");
    if (load.withEnrichment) enrich();
    finishOperation();
}

void YaraModel::removeRuleFile(const std::string& path) {
    dropRuleFile(path);
    announceRuleFiles("");
    finishOperation();
}

std::vector<YaraFile> YaraModel::ruleFiles() const {
    return concurrentQueue.sync([this] { return _ruleFiles; });
}

std::optional<std::string> YaraModel::converterPath() const {
    return converterPath_ ? converterPath_ : shippedConverterPath();
}

std::vector<YaraRule> YaraModel::loadRules(const std::string& path, const nlohmann::json& malwareList) const {
    auto converter = converterPath();
    if (!converter) return {};
    return convertRuleFile(*converter, path, malwareList).value_or(std::vector<YaraRule>{});
}

void YaraModel::dropRuleFile(const std::string& path) {
    std::erase_if(_ruleFiles, [&](const YaraFile& file) { return file.filepath == path; });
    std::erase_if(_data, [&](const YaraRule& rule) { return rule->filepath == path; });
}

void YaraModel::announceRuleFiles(const std::string& error) {
    MainQueue::async(lifetime_.guard([this, error] {
        NotificationCenter::defaultCenter().post(name(TarnwickNotificationNames::yaraFilesUpdateNotification),
                                                 static_cast<XPArrayModel<YaraRule>*>(this), {{"error", error}});
    }));
}

void YaraModel::finishOperation() {
    // Queued last, after the announcement and after any enrichment the operation started has
    // counted itself: a reader that sees no operation pending sees that enrichment pending.
    MainQueue::async(lifetime_.guard([this] { --pendingOperations_; }));
}

}  // namespace tarnwick
