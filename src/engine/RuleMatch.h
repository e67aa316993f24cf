#pragma once
// One rule that matched one file.
#include <string>

namespace tarnwick {

struct RuleMatch {
    std::string identifier;  // the rule's name
    std::string filepath;    // the file it matched
    std::string ruleFile;    // the rule file the rule came from; "" for a rule text

    bool operator==(const RuleMatch&) const = default;
};

}  // namespace tarnwick
