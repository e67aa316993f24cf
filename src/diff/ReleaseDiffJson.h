#pragma once
// A comparison of two releases as one JSON object:
//   "old", "new": {"path": the folder read, "version": the meta property list's Version}
//   "rules": {"added": [names], "removed": [names], "changed": [{"name", "old", "new"}]} (RAW texts)
//   "plugins", "extensions": {"added": [records], "removed": [records], "changed": [{"old", "new"}]}
//   "gkChecks": {"added": [identifiers], "removed": [identifiers]}
//   "javaMinimum": {"old", "new"}, only when the minimum Java web-component version changed.
// Records hold what the release says: a plug-in's plugin_id, MinimumPluginBundleVersion and
// PluginUpdateAvailable, an extension's CFBundleIdentifier and DeveloperIdentifier. Rule texts
// hold arbitrary bytes: dump with a UTF-8 error handler.
#include "diff/ReleaseDiff.h"
#include "diff/XProtectRelease.h"

#include <nlohmann/json.hpp>

namespace tarnwick {

nlohmann::ordered_json releaseDiffJson(const XProtectRelease& before, const XProtectRelease& after,
                                       const ReleaseDiff& diff);

}  // namespace tarnwick
