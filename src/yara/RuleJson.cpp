#include "yara/RuleJson.h"

namespace tarnwick {

void to_json(nlohmann::json& out, const YaraRule& rule) {
    nlohmann::json meta = nlohmann::json::object();
    for (const auto& [key, value] : rule->meta) meta[key] = value;
    out = {{"name", rule->name},
           {"meta", std::move(meta)},
           {"tags", rule->tags},
           {"strings", rule->strings},
           {"condition", rule->condition},
           {"filepath", rule->filepath},
           {"isPrivate", rule->isPrivate},
           {"isGlobal", rule->isGlobal},
           {"summary", rule->summary},
           {"links", rule->links},
           {"otherNames", rule->otherNames},
           {"date", rule->date},
           {"version", rule->version},
           {"hashes", rule->hashes},
           {"text", rule.text()}};
}

void to_json(nlohmann::json& out, const YaraFile& file) {
    nlohmann::json names = nlohmann::json::array();
    for (const YaraRule& rule : file.rules) names.push_back(rule->name);
    out = {{"filepath", file.filepath}, {"ruleCount", file.rules.size()}, {"rules", std::move(names)}};
}

}  // namespace tarnwick
