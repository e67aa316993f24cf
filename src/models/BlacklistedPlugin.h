#pragma once
// Internet plug-ins that XProtect blocks below a minimum version.
#include "models/XPArrayModel.h"
#include "platform/PropertyList.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tarnwick {

struct BlacklistedPlugin {
    static constexpr const char* typeName = "BlacklistedPlugin";

    std::string plugin_id;                          // bundle identifier, the blacklist's key
    std::string MinimumPluginBundleVersion = "N/A"; // lowest version not blocked
    bool PluginUpdateAvailable = false;
    std::string date;                               // from the descriptions
    int64_t version = 0;                            // from the descriptions

    bool operator==(const BlacklistedPlugin& o) const { return plugin_id == o.plugin_id; }
    bool operator<(const BlacklistedPlugin& o) const { return version < o.version; }
    bool matchesFilter(const std::string& filter) const;
    void enrichFromIndex(const nlohmann::json& index);
};

class PluginsModel : public XPArrayModel<BlacklistedPlugin> {
public:
    using XPArrayModel::XPArrayModel;
};

// The blacklist of the meta property list, dated from the descriptions.
std::vector<BlacklistedPlugin> loadBlacklistedPlugins(const std::filesystem::path& metaPlist,
                                                      const nlohmann::json& descriptions);
std::vector<BlacklistedPlugin> loadBlacklistedPlugins();  // the installed bundle, shipped descriptions
// The same from a meta property list already read (its top-level dictionary).
std::vector<BlacklistedPlugin> blacklistedPluginsFromPlist(const PlistValue& root, const nlohmann::json& descriptions);

}  // namespace tarnwick
