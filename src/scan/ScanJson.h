#pragma once
// Scan records as JSON objects keyed by their field names, for scripting against scan results.
#include "scan/YaraScan.h"

#include <nlohmann/json.hpp>

namespace tarnwick {

NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(RuleMatch, identifier, filepath, ruleFile)

// uid, scanTarget, ruleFiles (their paths), scanStartTime and scanEndTime as the record's
// formatter writes them (null while absent), scanStatus (null while absent), fileCount, matches
// and errors. Paths may hold any bytes: dump with a UTF-8 error handler.
void to_json(nlohmann::json& out, const YaraScan& scan);

}  // namespace tarnwick
