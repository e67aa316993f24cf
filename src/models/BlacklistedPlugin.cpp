#include "models/BlacklistedPlugin.h"

#include "models/Descriptions.h"
#include "platform/LenientJson.h"
#include "platform/MacPaths.h"
#include "platform/PropertyList.h"
#include "platform/UnicodeText.h"

namespace tarnwick {

bool BlacklistedPlugin::matchesFilter(const std::string& filter) const {
    return unicode::containsIgnoringCase(plugin_id, filter);
}

void BlacklistedPlugin::enrichFromIndex(const nlohmann::json& index) {
    date = json::text(index, {plugin_id, "Date"});
    version = json::integer(index, {plugin_id, "Version"});
}

std::vector<BlacklistedPlugin> loadBlacklistedPlugins(const std::filesystem::path& metaPlist,
                                                      const nlohmann::json& descriptions) {
    auto root = plist::readDictionaryFile(metaPlist);
    return root ? blacklistedPluginsFromPlist(*root, descriptions) : std::vector<BlacklistedPlugin>{};
}

std::vector<BlacklistedPlugin> blacklistedPluginsFromPlist(const PlistValue& root, const nlohmann::json& descriptions) {
    std::vector<BlacklistedPlugin> list;
    const PlistValue* blacklist = root.find("PlugInBlacklist");
    const PlistValue::Dictionary* entries = blacklist ? blacklist->dictionaryAt("10") : nullptr;
    if (!entries) return list;
    for (const auto& [key, value] : *entries) {
        if (!value.asDictionary()) continue;
        BlacklistedPlugin plugin;
        plugin.plugin_id = key;
        if (auto minimum = value.stringAt("MinimumPlugInBundleVersion")) plugin.MinimumPluginBundleVersion = *minimum;
        if (auto update = value.booleanAt("PlugInUpdateAvailable")) plugin.PluginUpdateAvailable = *update;
        plugin.date = json::text(descriptions, {key, "Date"});
        plugin.version = json::integer(descriptions, {key, "Version"});
        list.push_back(std::move(plugin));
    }
    return list;
}

std::vector<BlacklistedPlugin> loadBlacklistedPlugins() {
    return loadBlacklistedPlugins(macpaths::xprotectResource("XProtect.meta.plist"), loadDescriptions("Plugins"));
}

}  // namespace tarnwick
