#include "scan/YaraScans.h"

#include "app/Configuration.h"
#include "app/TarnwickModel.h"
#include "platform/Log.h"
#include "platform/MainQueue.h"
#include "platform/NotificationCenter.h"
#include "yara/YaraEngine.h"

#include <pthread.h>

#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace tarnwick {
namespace {

// Runs one scan on a thread of its own. The thread is not joined: the window never waits for a
// scan, and everything a running scan touches lives until the process ends.
void schedule(std::function<void()> operation) {
    std::thread([operation = std::move(operation)] {
        pthread_setname_np(pthread_self(), "tarnwick.scan");
        operation();
    }).detach();
}

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

// Handed to libyara as it is: seconds a single file may take.
int scanTimeout() { return static_cast<int>(Configuration().yara_scan_timeout); }

// The engine's messages change nothing in the record; they are there for whoever reads the log.
void logMessages(const std::vector<std::string>& errors, const std::vector<std::string>& warnings) {
    for (const std::string& error : errors) TW_LOG_INFO("YARA error: " + error);
    for (const std::string& warning : warnings) TW_LOG_INFO("YARA warning: " + warning);
}

// Runs the engine call, so that an engine failure still ends in the record being finished.
template <class Call>
void runEngine(const char* kind, const std::string& target, Call&& call) {
    try {
        call();
    } catch (const std::exception& error) {
        TW_LOG_ERROR(std::string(kind) + " of " + target + " failed: " + error.what());
    } catch (...) {
        TW_LOG_ERROR(std::string(kind) + " of " + target + " failed");
    }
}

}  // namespace

void YaraScans::doScan(const std::string& filepath) {
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
}

void YaraScans::doFileScan(const std::string& filepath) {
    schedule([filepath] { scanOperations::fileScan(sharedModel()._yara, filepath); });
}

void YaraScans::doDirScan(const std::string& dirpath) {
    TW_LOG_INFO("Operation Dir Scan started");
    schedule([dirpath] { scanOperations::dirScan(sharedModel()._yara, dirpath); });
}

namespace scanOperations {

void fileScan(YaraModel& model, const std::string& filepath) {
    YaraEngine engine;
    fileScan(model, filepath, engine);
}

void dirScan(YaraModel& model, const std::string& dirpath) {
    YaraEngine engine;
    dirScan(model, dirpath, engine);
}

void fileScan(YaraModel& model, const std::string& filepath, YaraEngine& engine) {
    TW_LOG_INFO("Operation File Scan started");
    const std::vector<YaraFile> ruleFiles = model.ruleFiles();
    const YaraEngine::RuleFiles map = ruleFileMap(ruleFiles);
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
    YaraScan scan = model.startScan(filepath, ruleFiles);
    runEngine("File scan", filepath, [&] {
        scan.matches = engine.simpleScanFileAtPath(filepath, map, nullptr, scanTimeout(), false, errors, warnings);
    });
    logMessages(errors, warnings);
    scan.fileCount = 1;
    model.finishScan(scan);
}

void dirScan(YaraModel& model, const std::string& dirpath, YaraEngine& engine) {
    TW_LOG_INFO("Operation Dir Scan started");
    const std::vector<YaraFile> ruleFiles = model.ruleFiles();
    const YaraEngine::RuleFiles map = ruleFileMap(ruleFiles);
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
    auto working = std::make_shared<WorkingScan>(model.startScan(dirpath, ruleFiles));
    const int64_t uid = working->scan.uid;

    const YaraEngine::FileCallback callback = [working, uid, &model](const std::string&) {
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
        return !model.isScanAborted(working->scan);  // reads only the uid, which never changes
    };
    std::vector<RuleMatch> matches;
    runEngine("Directory scan", dirpath, [&] {
        matches = engine.simpleScanDirAtPath(dirpath, map, nullptr, scanTimeout(), false, errors, warnings, callback);
    });
    logMessages(errors, warnings);
    YaraScan finished = [&] {
        std::lock_guard lock(working->lock);
        working->scan.matches = std::move(matches);
        return working->scan;
    }();
    model.finishScan(finished);
}

}  // namespace scanOperations

}  // namespace tarnwick
