// Scans one tree twice in one process through the engine, as two scans in the scanner panel do:
// the first compiles the rule file, the second finds the compiled rules in the cache. Prints
// each scan's time, files and matches and the number of compilations, which must be 1.
//
//     scan_twice RULEFILE TARGET
//
// Exits 0 when the rules were compiled once and both scans found the same matches, 1 otherwise.
#include "engine/CompiledRulesCache.h"
#include "engine/YaraEngine.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "Usage: %s RULEFILE TARGET\n", argv[0]);
        return 2;
    }
    const std::string ruleFile = argv[1];
    const std::string target = argv[2];

    std::vector<tarnwick::RuleMatch> found[2];
    bool failed = false;
    for (int scan = 0; scan < 2; ++scan) {
        tarnwick::YaraEngine engine;
        std::vector<std::string> errors;
        std::vector<std::string> warnings;
        long long files = 0;
        const auto start = std::chrono::steady_clock::now();
        found[scan] = engine.simpleScanDirAtPath(target, {{ruleFile, ruleFile}}, nullptr, 10000, false, errors, warnings,
                                                 [&files](const std::string&) {
                                                     ++files;
                                                     return true;
                                                 });
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("scan %d: %.3f s, %lld files, %zu matches\n", scan + 1, seconds, files, found[scan].size());
        for (size_t i = 0; i < errors.size() && i < 5; ++i) std::printf("  error: %s\n", errors[i].c_str());
        if (!errors.empty()) failed = true;
    }
    const unsigned long long compilations = tarnwick::CompiledRulesCache::shared().compilations();
    std::printf("rule compilations: %llu\n", compilations);
    if (found[0] != found[1]) {
        std::printf("the two scans found different matches\n");
        failed = true;
    }
    return failed || compilations != 1 ? 1 : 0;
}
