#pragma once
// Rules compiled by libyara from a set of rule files (and rule texts), ready for any number of
// scanners at once. Each rule file is compiled in a namespace of its own, so two files may hold
// rules of the same name. The rules know every file their sources included, so that they can
// tell when one of those has changed.
#include "engine/RuleIncludes.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

struct YR_RULES;

namespace tarnwick {

class CompiledRules {
public:
    // One thing to compile: a rule file read from an open descriptor, or a rule text.
    struct Source {
        std::string nameSpace;
        std::string path;  // the rule file; includes are found relative to it
        int fd = -1;       // open on `path`; -1 for a rule text, or for a file that could not be opened
        std::string text;  // the rule text when `path` is empty
    };

    // Compiles the sources. A source that does not compile is left out (libyara cannot go on
    // after a failed source, so the others are compiled again without it) and its messages are
    // kept in `errors`, after `earlier` (what went wrong before, such as files that could not be
    // opened). Never null; without any usable source the rules are empty.
    static std::shared_ptr<const CompiledRules> compile(const std::vector<Source>& sources,
                                                        std::vector<std::string> earlier = {});

    ~CompiledRules();
    CompiledRules(const CompiledRules&) = delete;
    CompiledRules& operator=(const CompiledRules&) = delete;

    // Null when libyara could not build rules at all (the errors say why).
    YR_RULES* rules() const { return rules_; }
    // Whether there is anything to scan with: rules were built from at least one source.
    bool usable() const { return rules_ && compiledSources_ > 0; }
    const std::vector<std::string>& errors() const { return errors_; }
    const std::vector<std::string>& warnings() const { return warnings_; }

    // The rule file compiled in that namespace; "" for a rule text's namespace.
    const std::string& ruleFileOf(const std::string& nameSpace) const;

    // Whether each file the sources included (or tried to) is still as it was when it was read:
    // compiling the sources again would give these rules, as far as their includes go.
    bool includesUnchanged() const { return RuleIncludes::unchanged(includes_); }

private:
    CompiledRules() = default;

    YR_RULES* rules_ = nullptr;
    size_t compiledSources_ = 0;
    std::vector<std::string> errors_;
    std::vector<std::string> warnings_;
    std::map<std::string, std::string> ruleFiles_;  // namespace to path
    std::vector<RuleIncludes::Included> includes_;  // as they were when read
};

}  // namespace tarnwick
