#pragma once
// Rules compiled by libyara from a set of rule files (and rule texts), ready for any number of
// scanners at once. Each rule file is compiled in a namespace of its own, so two files may hold
// rules of the same name.
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct YR_RULES;

namespace tarnwick {

class CompiledRules {
public:
    // One thing to compile: a rule file read from an open stream, or a rule text.
    struct Source {
        std::string nameSpace;
        std::string path;    // the rule file; includes are found relative to it
        FILE* file = nullptr;  // open on `path`; null for a rule text, or for a file that could not be opened
        std::string text;    // the rule text when `path` is empty
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
    const std::vector<std::string>& errors() const { return errors_; }
    const std::vector<std::string>& warnings() const { return warnings_; }

    // The rule file compiled in that namespace; "" for a rule text's namespace.
    const std::string& ruleFileOf(const std::string& nameSpace) const;

private:
    CompiledRules() = default;

    YR_RULES* rules_ = nullptr;
    std::vector<std::string> errors_;
    std::vector<std::string> warnings_;
    std::map<std::string, std::string> ruleFiles_;  // namespace to path
};

}  // namespace tarnwick
