#include "yara/RuleListTexts.h"

#include "yara/RuleDetails.h"

namespace tarnwick {

RuleRow ruleRow(size_t row, const YaraRule& rule) {
    RuleRow texts;
    texts.index = std::to_string(row + 1);
    texts.name = rule->name;
    const std::string dash(1, '-');
    texts.date = rule->date == "#N/A" ? dash : rule->date;
    std::string names = commaJoined(rule->otherNames);
    texts.otherNames = names.empty() ? dash : std::move(names);
    return texts;
}

std::string ruleCountText(const std::vector<YaraRule>& shown) { return std::to_string(shown.size()); }

}  // namespace tarnwick
