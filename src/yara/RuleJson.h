#pragma once
// Rules and rule files as JSON objects keyed by their field names, for scripting against the data.
#include "yara/YaraFile.h"
#include "yara/YaraRule.h"
#include "yara/YaraString.h"

#include <nlohmann/json.hpp>

namespace tarnwick {

NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(YaraString, name, value, modifiers, type)

// Rule files hold arbitrary bytes: dump with a UTF-8 error handler. Every field, the meta as an object, and "text": the rule as YARA text, hex strings as written.
void to_json(nlohmann::json& out, const YaraRule& rule);
// The path, the number of rules and their names in file order.
void to_json(nlohmann::json& out, const YaraFile& file);

}  // namespace tarnwick
