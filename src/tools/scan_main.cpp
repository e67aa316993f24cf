// tarnwick-scan: scans a file or a directory tree the way the scanner panel does and prints the
// finished scan record as one JSON object. The central model is built as the program builds it
// (the Mac under TARNWICK_ROOT); the scan uses XProtect's own rule file, or, when rule files are
// given with -r, those files instead. Progress goes to stderr every 100 files; the reasons a scan
// did not run whole go there too, and make the exit status 2.
#include "app/TarnwickModel.h"
#include "platform/MacPaths.h"
#include "platform/MainQueue.h"
#include "platform/NotificationCenter.h"
#include "scan/ScanJson.h"
#include "scan/YaraScans.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace tarnwick;

void usage(const char* program) {
    std::fprintf(stderr,
                 "Usage: %s [-r RULEFILE]... TARGET\n"
                 "Scans the file or directory TARGET with YARA rules and prints the scan record as JSON.\n"
                 "  -r RULEFILE   scans with this rule file (repeatable) in place of XProtect's own,\n"
                 "                which is read from the Mac under TARNWICK_ROOT (default /)\n",
                 program);
}

// Waits on the main queue, however long it takes, for the condition.
void waitFor(const std::function<bool()>& done) {
    while (!MainQueue::runUntil(done, std::chrono::hours(1))) {
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> ruleFiles;
    std::optional<std::string> target;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-r" && i + 1 < argc) {
            ruleFiles.push_back(argv[++i]);
        } else if (arg == "-h" || arg == "--help") {
            usage(argv[0]);
            return 0;
        } else if (!target && (arg.empty() || arg[0] != '-' || arg == "-")) {
            target = arg;
        } else if (arg == "--" && i + 1 == argc - 1 && !target) {
            target = argv[++i];
        } else {
            usage(argv[0]);
            return 2;
        }
    }
    if (!target) {
        usage(argv[0]);
        return 2;
    }
    std::error_code ec;
    if (!std::filesystem::exists(*target, ec)) {
        std::fprintf(stderr, "tarnwick-scan: %s: does not exist\n", target->c_str());
        return 1;
    }

    // One answer per rule-file operation, in the order queued: XProtect's own file, or the given ones.
    std::vector<std::string> loadErrors;
    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(name(TarnwickNotificationNames::yaraFilesUpdateNotification),
                       [&](const Notification& n) { loadErrors.push_back(n.info<std::string>("error").value_or("")); });
    center.addObserver(name(TarnwickNotificationNames::scanUpdateFileCountNotification), [](const Notification& n) {
        std::fprintf(stderr, "tarnwick-scan: %lld files scanned\n",
                     static_cast<long long>(n.info<int64_t>("fileCount").value_or(0)));
    });

    // A scan uses the rule files alone: XProtect's is loaded only when no file is given, and
    // nothing is enriched.
    static TarnwickModel* const central =
        new TarnwickModel(ModelStart{.xprotectRules = ruleFiles.empty(), .enrichment = false});
    TarnwickModel& model = *central;
    const std::string systemRules = macpaths::xprotectResource("XProtect.yara").string();
    for (const std::string& file : ruleFiles) model._yara.queueAddRuleFile(file, false);
    waitFor([&] { return model._yara.pendingRuleFileOperations() == 0; });

    int failed = 0;
    for (size_t i = 0; i < ruleFiles.size(); ++i) {
        if (!loadErrors[i].empty()) {
            std::fprintf(stderr, "tarnwick-scan: %s: %s\n", ruleFiles[i].c_str(), loadErrors[i].c_str());
            ++failed;
        }
    }
    if (failed > 0) return 2;
    if (ruleFiles.empty() && !loadErrors[0].empty())
        std::fprintf(stderr, "tarnwick-scan: XProtect's rule file %s: %s\n", systemRules.c_str(), loadErrors[0].c_str());

    std::optional<YaraScan> finished;
    center.addObserver(name(TarnwickNotificationNames::yaraScanUpdateNotification), [&](const Notification&) {
        for (const YaraScan& scan : model._scanHistory.scans())
            if (scan.scanStatus == ScanStatusValues::complete) finished = scan;
    });
    model._yaraScans.doScan(*target);
    waitFor([&] { return finished.has_value(); });

    std::cout << nlohmann::json(*finished).dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << std::endl;
    // A scan that did not run whole (no rules, rules that did not compile, an unreadable target,
    // a failing engine) is not a clean result, whatever its matches.
    for (const std::string& error : finished->errors) std::fprintf(stderr, "tarnwick-scan: %s\n", error.c_str());
    return finished->errors.empty() ? 0 : 2;
}
