// tarnwick-dump: builds the central model exactly as the program does and prints its data as one
// JSON document: the XProtect metadata, the rules and rule files and every list, sorted and
// unfiltered, once the enrichment answers have arrived (or the wait has run out). Rule files
// given with --add are added after XProtect's own, as the rules panel adds them.
#include "app/TarnwickModel.h"
#include "models/RecordJson.h"
#include "platform/MainQueue.h"
#include "platform/NotificationCenter.h"
#include "yara/RuleJson.h"

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

    TarnwickModel& model = sharedModel();
    for (const std::string& file : addedFiles)
        model._yara.concurrentQueue.barrierAsync([&model, file] { model._yara.addRuleFile(file, false); });
    const size_t operations = 1 + addedFiles.size();
    // The rule files load on the model's queue; a read waits for them however long they take.
    // By then every signature enrichment they start is counted as pending.
    model.yaraRules();
    MainQueue::runUntil(
        [&] {
            return loadErrors.size() >= operations && model._yara.pendingEnrichments() == 0 &&
                   model._plugins.pendingEnrichments() == 0 && model._extensions.pendingEnrichments() == 0;
        },
        std::chrono::milliseconds(static_cast<long long>(timeoutSeconds * 1000)));
    const std::vector<YaraRule> rules = model.yaraRules();
    int status = 0;
    for (size_t i = 0; i < addedFiles.size(); ++i) {
        const size_t answer = i + 1;
        if (answer < loadErrors.size() && !loadErrors[answer].empty()) {
            std::fprintf(stderr, "tarnwick-dump: %s: %s\n", addedFiles[i].c_str(), loadErrors[answer].c_str());
            status = 2;
        }
    }
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
