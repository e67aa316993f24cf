#include "engine/CompiledRules.h"

#include "engine/Libyara.h"

#include <yara.h>

#include <unistd.h>

#include <algorithm>

namespace tarnwick {

const std::string& CompiledRules::ruleFileOf(const std::string& nameSpace) const {
    static const std::string none;
    const auto found = ruleFiles_.find(nameSpace);
    return found == ruleFiles_.end() ? none : found->second;
}

CompiledRules::~CompiledRules() {
    if (rules_) yr_rules_destroy(rules_);
}

std::shared_ptr<const CompiledRules> CompiledRules::compile(const std::vector<Source>& sources,
                                                           std::vector<std::string> earlier) {
    std::shared_ptr<CompiledRules> compiled(new CompiledRules);
    compiled->errors_ = std::move(earlier);
    std::vector<bool> left(sources.size(), false);
    for (size_t i = 0; i < sources.size(); ++i) {
        if (!sources[i].path.empty() && sources[i].fd < 0) left[i] = true;  // its opener has said why
        if (!sources[i].path.empty()) compiled->ruleFiles_[sources[i].nameSpace] = sources[i].path;
    }
    // Kept over every attempt: the includes of a source that failed count too, since mending one
    // of them changes the rules.
    RuleIncludes includes;
    for (;;) {
        libyara::CompilerMessages messages;
        libyara::Compiler compiler = libyara::makeCompiler(messages, includes);
        if (!compiler) {
            compiled->errors_.push_back("the YARA compiler could not be created");
            return compiled;
        }
        bool failed = false;
        for (size_t i = 0; i < sources.size() && !failed; ++i) {
            if (left[i]) continue;
            const Source& source = sources[i];
            int errorCount = 0;
            includes.beginSource(source.path);
            if (source.fd >= 0) {
                ::lseek(source.fd, 0, SEEK_SET);
                errorCount = yr_compiler_add_fd(compiler.get(), source.fd, source.nameSpace.c_str(),
                                                source.path.c_str());
            } else {
                errorCount = yr_compiler_add_string(compiler.get(), source.text.c_str(), source.nameSpace.c_str());
            }
            if (errorCount > 0) {
                left[i] = failed = true;
                const std::string& name = source.fd >= 0 ? source.path : source.nameSpace;
                if (messages.errors.empty()) messages.errors.push_back(name + ": does not compile");
                compiled->errors_.insert(compiled->errors_.end(), messages.errors.begin(), messages.errors.end());
            }
        }
        if (failed) continue;  // at most once per source
        compiled->includes_ = includes.included();
        compiled->warnings_ = std::move(messages.warnings);
        YR_RULES* rules = nullptr;
        if (yr_compiler_get_rules(compiler.get(), &rules) != ERROR_SUCCESS) {
            compiled->errors_.push_back("the compiled rules could not be built");
            return compiled;
        }
        compiled->rules_ = rules;
        compiled->compiledSources_ = static_cast<size_t>(std::count(left.begin(), left.end(), false));
        return compiled;
    }
}

}  // namespace tarnwick
