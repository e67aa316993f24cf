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

std::shared_ptr<const CompiledRules> rulesFor(const YaraEngine::RuleFiles& ruleFiles,
                                              const std::vector<std::string>* ruleStrings, ScanMessages& messages) {
    auto rules = CompiledRulesCache::shared().rulesFor(ruleFiles, ruleStrings ? *ruleStrings : std::vector<std::string>{});
    for (const std::string& error : rules->errors()) messages.error(error);
    for (const std::string& warning : rules->warnings()) messages.warning(warning);
    return rules;
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
    {
        RulesScanner scanner(rulesFor(ruleFiles, ruleStrings, messages), timeout, fastMode, messages);
        // A FIFO or a device given as the target is refused rather than read forever.
        if (UniqueFd fd = TreeWalker::openFile(path, messages)) scanner.scan(fd.get(), path, matches);
    }
    messages.appendTo(errors, warnings);
    return matches;
}

std::vector<RuleMatch> YaraEngine::simpleScanDirAtPath(const std::string& path, const RuleFiles& ruleFiles,
                                                       const std::vector<std::string>* ruleStrings, int timeout,
                                                       bool fastMode, std::vector<std::string>& errors,
                                                       std::vector<std::string>& warnings,
                                                       const FileCallback& callback) {
    ScanMessages messages;
    std::vector<RuleMatch> matches;
    {
        ScanPool pool(rulesFor(ruleFiles, ruleStrings, messages), timeout, fastMode, ScanPool::defaultWorkerCount(),
                      messages);
        TreeWalker::walk(path, [&](WalkedFile&& file) {
            const bool goOn = callback ? callback(file.path) : true;
            pool.submit(std::move(file));
            return goOn;
        }, messages);
        matches = pool.finish();
    }
    messages.appendTo(errors, warnings);
    return matches;
}

}  // namespace tarnwick
