#pragma once
// Scan records as JSON objects keyed by their field names, for scripting against scan results.
#include "scan/YaraScan.h"

#include <nlohmann/json.hpp>

namespace tarnwick {

void to_json(nlohmann::json& out, const RuleMatch& match);
// uid, scanTarget, ruleFiles (their paths), scanStartTime and scanEndTime as the record's
// formatter writes them (null while absent), scanStatus (null while absent), fileCount and
// matches. Paths may hold any bytes: dump with a UTF-8 error handler.
void to_json(nlohmann::json& out, const YaraScan& scan);

}  // namespace tarnwick
