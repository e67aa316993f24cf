// tarnwick-dump: builds the central model exactly as the program does and prints its data as one
// JSON document: the XProtect metadata, the rules and rule files and every list, sorted and
// unfiltered, once the enrichment answers have arrived (or the wait has run out). Rule files
// given with --add are added after XProtect's own, as the rules panel adds them.
#include "app/TarnwickModel.h"
#include "models/RecordJson.h"
#include "platform/HttpClient.h"
#include "platform/MacFileSystem.h"
#include "platform/MainQueue.h"
#include "platform/NotificationCenter.h"
#include "platform/PlatformHelpers.h"
#include "yara/RuleJson.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

void usage(const char* program) {
    std::fprintf(stderr,
                 "Usage: %s [--timeout SECONDS] [--add FILE]...\n"
                 "Prints the XProtect data of the Mac under TARNWICK_ROOT (default /) as JSON.\n"
                 "  --timeout SECONDS   longest wait for the enrichment answers (default 10)\n"
                 "  --add FILE          adds a YARA rule file after XProtect's own (repeatable)\n",
                 program);
}

// On a Mac read under TARNWICK_ROOT without TARNWICK_HOME, the user's lists are those of the Mac's
// only user; when it has none or several they stay empty, and this says why.
void reportMissingHome() {
    using namespace tarnwick;
    if (realHomeDirectoryForCurrentUser()) return;
    const auto users = macUserFolders();
    std::string found = "no user's folder";
    if (!users.empty()) {
        found = users.front();
        for (size_t i = 1; i < users.size(); ++i) found += ", " + users[i];
    }
    std::fprintf(stderr,
                 "tarnwick-dump: no single user on the Mac under %s (Users/ holds %s): the user's plug-ins and "
                 "Safari extensions are left out; set TARNWICK_HOME to the home to read\n",
                 macfs::root().c_str(), found.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tarnwick;
    double timeoutSeconds = 10;
    std::vector<std::string> addedFiles;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--timeout" && i + 1 < argc) {
            char* end = nullptr;
            timeoutSeconds = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(timeoutSeconds >= 0) || timeoutSeconds > 86400) {
                std::fprintf(stderr, "tarnwick-dump: --timeout wants a number of seconds\n");
                return 2;
            }
        } else if (arg == "--add" && i + 1 < argc) {
            addedFiles.push_back(argv[++i]);
        } else if (arg == "-h" || arg == "--help") {
            usage(argv[0]);
            return 0;
        } else {
            usage(argv[0]);
            return 2;
        }
    }

    // One answer per rule-file operation, in the order queued: XProtect's own file first.
    std::vector<std::string> loadErrors;
    NotificationCenter::defaultCenter().addObserver(
        name(TarnwickNotificationNames::yaraFilesUpdateNotification),
        [&](const Notification& n) { loadErrors.push_back(n.info<std::string>("error").value_or("")); });

    reportMissingHome();
    TarnwickModel& model = sharedModel();
    for (const std::string& file : addedFiles) model._yara.queueAddRuleFile(file, false);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(static_cast<long long>(timeoutSeconds * 1000));
    // The rule files load however long they take: only the enrichment answers have a time limit.
    while (!MainQueue::runUntil([&] { return model._yara.pendingRuleFileOperations() == 0; }, std::chrono::hours(1))) {
    }
    MainQueue::runUntil(
        [&] {
            return model._yara.pendingEnrichments() == 0 && model._plugins.pendingEnrichments() == 0 &&
                   model._extensions.pendingEnrichments() == 0;
        },
        std::max(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()),
                 std::chrono::milliseconds(0)));
    const std::vector<YaraRule> rules = model.yaraRules();
    int status = 0;
    for (size_t i = 0; i < addedFiles.size(); ++i) {
        const size_t answer = i + 1;
        if (answer < loadErrors.size() && !loadErrors[answer].empty()) {
            std::fprintf(stderr, "tarnwick-dump: %s: %s\n", addedFiles[i].c_str(), loadErrors[answer].c_str());
            status = 2;
        }
    }
    // Answers still on the way are not waited for: their transfers end now, before main returns.
    http::stopTransfers();
    if (status != 0) return status;

    nlohmann::json document = {
        {"xprotect", model._xprotectMeta.meta},
        {"rules", rules},
        {"ruleFiles", model._yara.ruleFiles()},
        {"plugins", model.plugins()},
        {"extensions", model.extensions()},
        {"gkChecks", model.gkChecks()},
        {"installedPlugins", model.installedPlugins()},
        {"installedExtensions", model.installedExtensions()},
    };
    std::cout << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << std::endl;
    return 0;
}
