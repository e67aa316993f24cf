#pragma once
// One rule that matched one file.
#include <string>

namespace tarnwick {

struct RuleMatch {
    std::string identifier;  // the rule's name
    std::string filepath;    // the file it matched

    bool operator==(const RuleMatch&) const = default;
};

}  // namespace tarnwick
