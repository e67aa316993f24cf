// tarnwick-dump: builds the central model exactly as the program does and prints its data as one
// JSON document: the XProtect metadata and every list, sorted and unfiltered, once the enrichment
// answers have arrived (or the wait has run out).
#include "app/TarnwickModel.h"
#include "models/RecordJson.h"
#include "platform/MainQueue.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

void usage(const char* program) {
    std::fprintf(stderr,
                 "Usage: %s [--timeout SECONDS]\n"
                 "Prints the XProtect data of the Mac under TARNWICK_ROOT (default /) as JSON.\n"
                 "  --timeout SECONDS   longest wait for the enrichment answers (default 10)\n",
                 program);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tarnwick;
    double timeoutSeconds = 10;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--timeout" && i + 1 < argc) {
            char* end = nullptr;
            timeoutSeconds = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(timeoutSeconds >= 0) || timeoutSeconds > 86400) {
                std::fprintf(stderr, "tarnwick-dump: --timeout wants a number of seconds\n");
                return 2;
            }
        } else if (arg == "-h" || arg == "--help") {
            usage(argv[0]);
            return 0;
        } else {
            usage(argv[0]);
            return 2;
        }
    }

    TarnwickModel& model = sharedModel();
    MainQueue::runUntil(
        [&] { return model._plugins.pendingEnrichments() == 0 && model._extensions.pendingEnrichments() == 0; },
        std::chrono::milliseconds(static_cast<long long>(timeoutSeconds * 1000)));

    nlohmann::json document = {
        {"xprotect", model._xprotectMeta.meta},
        {"plugins", model.plugins()},
        {"extensions", model.extensions()},
        {"gkChecks", model.gkChecks()},
        {"installedPlugins", model.installedPlugins()},
        {"installedExtensions", model.installedExtensions()},
    };
    std::cout << document.dump(2) << std::endl;
    return 0;
}
