#pragma once
// The texts of the rules table: one row per rule of the shown list, and the rule count.
#include "yara/YaraRule.h"

#include <string>
#include <vector>

namespace tarnwick {

struct RuleRow {
    std::string index;       // position from 1
    std::string name;
    std::string date;        // "#N/A" shows as "-"
    std::string otherNames;  // joined with ","; "-" when there are none
    bool operator==(const RuleRow&) const = default;
};

// The row at `row` (from 0) of the shown list.
RuleRow ruleRow(size_t row, const YaraRule& rule);

// How many rules the shown list holds, in plain decimal.
std::string ruleCountText(const std::vector<YaraRule>& shown);

}  // namespace tarnwick
