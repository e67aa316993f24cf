#include "engine/YaraEngine.h"

#include "engine/CompiledRulesCache.h"
#include "engine/FileIdentity.h"
#include "engine/Libyara.h"
#include "engine/RuleIncludes.h"
#include "engine/RulesScanner.h"
#include "engine/ScanMessages.h"
#include "engine/ScanPool.h"
#include "engine/TreeWalker.h"

#include <yara.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace tarnwick {
namespace {

// The rules to scan with, their messages passed on; null when there is nothing to scan with.
std::shared_ptr<const CompiledRules> rulesFor(const YaraEngine::RuleFiles& ruleFiles,
                                              const std::vector<std::string>* ruleStrings, ScanMessages& messages) {
    auto rules = CompiledRulesCache::shared().rulesFor(ruleFiles, ruleStrings ? *ruleStrings : std::vector<std::string>{});
    for (const std::string& error : rules->errors()) messages.error(error);
    for (const std::string& warning : rules->warnings()) messages.warning(warning);
    return rules->usable() ? rules : nullptr;
}

// Passes the messages on; a refused scan ends its errors with the refusal, past any bound.
void finishMessages(const ScanMessages& messages, bool refused, std::vector<std::string>& errors,
                    std::vector<std::string>& warnings) {
    messages.appendTo(errors, warnings);
    if (refused) errors.push_back(YaraEngine::noRulesError);
}

}  // namespace

YaraEngine::YaraEngine() { libyara::ready(); }

bool YaraEngine::validateRulesAtPath(const std::string& path, std::vector<std::string>& errors,
                                     std::vector<std::string>& warnings) {
    // Opened, and its includes found, as a scan does.
    FileIdentity identity;
    const UniqueFd file = FileIdentity::open(path, identity);
    if (!file) {
        const bool irregular = identity.openError == EISDIR || identity.openError == EINVAL;
        errors.push_back(path + ": " + (irregular ? "not a regular file" : std::strerror(identity.openError)));
        return false;
    }
    RuleIncludes includes;
    libyara::CompilerMessages messages;
    libyara::Compiler compiler = libyara::makeCompiler(messages, includes);
    if (!compiler) {
        errors.push_back(path + ": the YARA compiler could not be created");
        return false;
    }
    includes.beginSource(path);
    const int errorCount = yr_compiler_add_fd(compiler.get(), file.get(), nullptr, path.c_str());
    errors.insert(errors.end(), messages.errors.begin(), messages.errors.end());
    warnings.insert(warnings.end(), messages.warnings.begin(), messages.warnings.end());
    if (errorCount > 0 && messages.errors.empty()) errors.push_back(path + ": " + std::to_string(errorCount) + " errors");
    return errorCount == 0;
}

std::vector<RuleMatch> YaraEngine::simpleScanFileAtPath(const std::string& path, const RuleFiles& ruleFiles,
                                                        const std::vector<std::string>* ruleStrings, int timeout,
                                                        bool fastMode, std::vector<std::string>& errors,
                                                        std::vector<std::string>& warnings) {
    ScanMessages messages;
    std::vector<RuleMatch> matches;
    auto rules = rulesFor(ruleFiles, ruleStrings, messages);
    const bool refused = !rules;
    if (rules) {
        RulesScanner scanner(std::move(rules), timeout, fastMode, messages);
        // A FIFO or a device given as the target is refused rather than read forever.
        if (UniqueFd fd = TreeWalker::openFile(path, messages)) scanner.scan(fd.get(), path, matches);
    }
    finishMessages(messages, refused, errors, warnings);
    return matches;
}

std::vector<RuleMatch> YaraEngine::simpleScanDirAtPath(const std::string& path, const RuleFiles& ruleFiles,
                                                       const std::vector<std::string>* ruleStrings, int timeout,
                                                       bool fastMode, std::vector<std::string>& errors,
                                                       std::vector<std::string>& warnings,
                                                       const FileCallback& callback) {
    ScanMessages messages;
    std::vector<RuleMatch> matches;
    auto rules = rulesFor(ruleFiles, ruleStrings, messages);
    const bool refused = !rules;
    if (rules) {
        ScanPool pool(std::move(rules), timeout, fastMode, ScanPool::defaultWorkerCount(), messages);
        TreeWalker::walk(path, [&](WalkedFile&& file) {
            const bool goOn = callback ? callback(file.path) : true;
            pool.submit(std::move(file));
            return goOn;
        }, messages);
        matches = pool.finish();
    }
    finishMessages(messages, refused, errors, warnings);
    return matches;
}

}  // namespace tarnwick
