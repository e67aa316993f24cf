#include "yara/RuleListTexts.h"

#include "yara/RuleDetails.h"

namespace tarnwick {

RuleRow ruleRow(size_t row, const YaraRule& rule) {
    RuleRow texts;
    texts.index = std::to_string(row + 1);
    texts.name = rule->name;
    texts.date = rule->date;
    if (texts.date == "#N/A") texts.date = "-";
    texts.otherNames = commaJoined(rule->otherNames);
    if (texts.otherNames.empty()) texts.otherNames = "-";
    return texts;
}

std::string ruleCountText(const std::vector<YaraRule>& shown) { return std::to_string(shown.size()); }

}  // namespace tarnwick
