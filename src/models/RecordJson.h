#pragma once
// The list records as JSON objects keyed by their field names, for scripting against the data.
#include "models/BlacklistedExtension.h"
#include "models/BlacklistedPlugin.h"
#include "models/GKCheck.h"
#include "models/InstalledExtension.h"
#include "models/InstalledPlugin.h"
#include "models/XProtectMeta.h"

#include <nlohmann/json.hpp>

namespace tarnwick {

void to_json(nlohmann::json& out, const XProtectMeta& meta);
void to_json(nlohmann::json& out, const BlacklistedPlugin& plugin);
void to_json(nlohmann::json& out, const InstalledPlugin& plugin);
void to_json(nlohmann::json& out, const BlacklistedExtension& extension);
void to_json(nlohmann::json& out, const InstalledExtension& extension);
void to_json(nlohmann::json& out, const GKCheck& check);

}  // namespace tarnwick
