#include "scan/YaraScans.h"

#include "models/NotificationNames.h"
#include "platform/Log.h"
#include "platform/MainQueue.h"
#include "platform/NotificationCenter.h"
#include "platform/ThreadPriority.h"

#include <pthread.h>

#include <exception>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace tarnwick {
namespace {

YaraEngine::RuleFiles ruleFileMap(const std::vector<YaraFile>& ruleFiles) {
    YaraEngine::RuleFiles map;
    for (const YaraFile& file : ruleFiles) map[file.filepath] = file.filepath;
    return map;
}

// The working record of a running directory scan, shared by the scan and its file callback.
struct WorkingScan {
    explicit WorkingScan(YaraScan started) : scan(std::move(started)) {}
    std::mutex lock;  // guards scan.fileCount and scan.matches
    YaraScan scan;
};

// The engine's errors go into the record; its warnings (files of a tree passed by) only to the log.
void keepMessages(YaraScan& scan, const std::vector<std::string>& errors, const std::vector<std::string>& warnings) {
    for (const std::string& error : errors) TW_LOG_INFO("YARA error: " + error);
    for (const std::string& warning : warnings) TW_LOG_INFO("YARA warning: " + warning);
    scan.errors.insert(scan.errors.end(), errors.begin(), errors.end());
}

// Runs the engine call; a failing engine still ends in the record being finished, its failure
// among the engine's errors.
template <class Call>
void runEngine(const char* kind, const std::string& target, std::vector<std::string>& errors, Call&& call) {
    try {
        call();
    } catch (const std::exception& error) {
        errors.push_back(std::string(kind) + " of " + target + " failed: " + error.what());
        TW_LOG_ERROR(errors.back());
    } catch (...) {
        errors.push_back(std::string(kind) + " of " + target + " failed");
        TW_LOG_ERROR(errors.back());
    }
}

}  // namespace

YaraScans::YaraScans(YaraModel& rules, ScanHistory& history, int timeout, EngineFactory makeEngine)
    : rules_(&rules), history_(&history), timeout_(timeout), makeEngine_(std::move(makeEngine)) {
    if (!makeEngine_) makeEngine_ = [] { return std::make_unique<YaraEngine>(); };
}

void YaraScans::doScan(const std::string& filepath) const {
    try {
        std::error_code ec;
        const auto status = std::filesystem::status(filepath, ec);
        if (ec || !std::filesystem::exists(status)) {
            TW_LOG_INFO("Target " + filepath + " does not exist");
            return;
        }
        if (std::filesystem::is_directory(status))
            doDirScan(filepath);
        else
            doFileScan(filepath);
    } catch (const std::exception& error) {
        TW_LOG_ERROR("Scan of " + filepath + " could not be started: " + error.what());
    }
}

void YaraScans::doFileScan(const std::string& filepath) const { schedule("File scan", filepath, &YaraScans::fileScan); }

void YaraScans::doDirScan(const std::string& dirpath) const {
    TW_LOG_INFO("Operation Dir Scan started");
    schedule("Directory scan", dirpath, &YaraScans::dirScan);
}

void YaraScans::schedule(const char* kind, const std::string& target,
                         void (YaraScans::*operation)(const std::string&, YaraEngine&) const) const {
    // The thread is not joined: the window never waits for a scan. It holds a copy of this
    // driver; the rules model and the history live until the process ends.
    try {
        std::thread([scans = *this, kind, target, operation] {
            pthread_setname_np(pthread_self(), "tarnwick.scan");
            threadPriority::enterBackground();  // the engine's workers inherit it
            try {
                const std::unique_ptr<YaraEngine> engine = scans.makeEngine_();
                if (!engine) throw std::runtime_error("no YARA engine");
                (scans.*operation)(target, *engine);
            } catch (const std::exception& error) {
                // Before any record was made: the operations finish every record they start.
                TW_LOG_ERROR(std::string(kind) + " of " + target + " could not run: " + error.what());
            }
        }).detach();
    } catch (const std::exception& error) {
        TW_LOG_ERROR(std::string(kind) + " of " + target + " could not be started: " + error.what());
    }
}

void YaraScans::fileScan(const std::string& filepath, YaraEngine& engine) const {
    TW_LOG_INFO("Operation File Scan started");
    const std::vector<YaraFile> ruleFiles = rules_->ruleFiles();
    const YaraEngine::RuleFiles map = ruleFileMap(ruleFiles);
    YaraScan scan = history_->startScan(filepath, ruleFiles);
    if (ruleFiles.empty()) {
        scan.errors.push_back(noRuleFilesError);
        history_->finishScan(scan);
        return;
    }
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
    runEngine("File scan", filepath, errors, [&] {
        scan.matches = engine.simpleScanFileAtPath(filepath, map, nullptr, timeout_, false, errors, warnings);
    });
    keepMessages(scan, errors, warnings);
    scan.fileCount = 1;
    history_->finishScan(scan);
}

void YaraScans::dirScan(const std::string& dirpath, YaraEngine& engine) const {
    TW_LOG_INFO("Operation Dir Scan started");
    const std::vector<YaraFile> ruleFiles = rules_->ruleFiles();
    const YaraEngine::RuleFiles map = ruleFileMap(ruleFiles);
    auto working = std::make_shared<WorkingScan>(history_->startScan(dirpath, ruleFiles));
    if (ruleFiles.empty()) {
        working->scan.errors.push_back(noRuleFilesError);
        history_->finishScan(working->scan);
        return;
    }
    const int64_t uid = working->scan.uid;
    ScanHistory* history = history_;
    const YaraEngine::FileCallback callback = [working, uid, history](const std::string&) {
        int64_t count = 0;
        {
            std::lock_guard lock(working->lock);
            count = ++working->scan.fileCount;
        }
        if (count % progressStep != 0) return true;
        MainQueue::async([count, uid] {
            NotificationCenter::defaultCenter().post(name(TarnwickNotificationNames::scanUpdateFileCountNotification),
                                                     {}, {{"fileCount", count}, {"uid", uid}});
        });
        return !history->isScanAborted(working->scan);  // reads only the uid, which never changes
    };
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
    std::vector<RuleMatch> matches;
    runEngine("Directory scan", dirpath, errors, [&] {
        matches = engine.simpleScanDirAtPath(dirpath, map, nullptr, timeout_, false, errors, warnings, callback);
    });
    YaraScan finished = [&] {
        std::lock_guard lock(working->lock);
        working->scan.matches = std::move(matches);
        return working->scan;
    }();
    keepMessages(finished, errors, warnings);
    history_->finishScan(finished);
}

}  // namespace tarnwick
