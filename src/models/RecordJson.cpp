#include "models/RecordJson.h"

namespace tarnwick {

void to_json(nlohmann::json& out, const XProtectMeta& meta) {
    out = {{"version", meta.version}, {"JavaWebComponentVersionMinimum", meta.JavaWebComponentVersionMinimum}};
}

void to_json(nlohmann::json& out, const BlacklistedPlugin& p) {
    out = {{"plugin_id", p.plugin_id},
           {"MinimumPluginBundleVersion", p.MinimumPluginBundleVersion},
           {"PluginUpdateAvailable", p.PluginUpdateAvailable},
           {"date", p.date},
           {"version", p.version}};
}

void to_json(nlohmann::json& out, const InstalledPlugin& p) {
    out = {{"disabled", p.disabled},         {"bundleVersion", p.bundleVersion}, {"bundleShortVersion", p.bundleShortVersion},
           {"bundleID", p.bundleID},         {"bundlePath", p.bundlePath},       {"systemInstall", p.systemInstall}};
}

void to_json(nlohmann::json& out, const BlacklistedExtension& e) {
    out = {{"CFBundleIdentifier", e.CFBundleIdentifier},
           {"DeveloperIdentifier", e.DeveloperIdentifier},
           {"date", e.date},
           {"version", e.version}};
}

void to_json(nlohmann::json& out, const InstalledExtension& e) {
    out = {{"signed", e.signed_},
           {"disabled", e.disabled},
           {"fullPath", e.fullPath},
           {"archiveFileName", e.archiveFileName},
           {"bundleDirectoryName", e.bundleDirectoryName},
           {"bundleID", e.bundleID},
           {"developerID", e.developerID}};
}

void to_json(nlohmann::json& out, const GKCheck& check) { out = {{"codeSigID", check.codeSigID}}; }

}  // namespace tarnwick
