#pragma once
// Descriptions shipped with the program ("Plugins" and "Extensions" JSON resources): objects keyed
// by identifier, each with "Date" and "Version".
#include <nlohmann/json.hpp>

#include <string>

namespace tarnwick {

// The resource parsed as JSON; an empty value when it is missing, not UTF-8 or not JSON.
nlohmann::json loadDescriptions(const std::string& resourceName);

}  // namespace tarnwick
