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

NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(XProtectMeta, version, JavaWebComponentVersionMinimum, bundlePath)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(BlacklistedPlugin, plugin_id, MinimumPluginBundleVersion, PluginUpdateAvailable,
                                   date, version)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(InstalledPlugin, disabled, bundleVersion, bundleShortVersion, bundleID, bundlePath,
                                   systemInstall)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(BlacklistedExtension, CFBundleIdentifier, DeveloperIdentifier, date, version)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(GKCheck, codeSigID)

// "signed" is a C++ keyword, so this one is written out.
void to_json(nlohmann::json& out, const InstalledExtension& extension);

}  // namespace tarnwick
