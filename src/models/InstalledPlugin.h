#pragma once
// Internet plug-in bundles present on the Mac: the machine-wide folder, then the user's.
#include "models/XPArrayModel.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tarnwick {

struct InstalledPlugin {
    static constexpr const char* typeName = "InstalledPlugin";

    bool disabled = false;             // under the folder's "Disabled Plug-Ins"
    std::string bundleVersion = "N/A";
    std::string bundleShortVersion = "N/A";
    std::string bundleID = "N/A";
    std::string bundlePath;            // the Info.plist that was read
    bool systemInstall = false;        // machine-wide folder rather than the user's

    bool operator==(const InstalledPlugin& o) const = default;
    // Reversed, so that the list (greatest first) comes out ascending by identifier.
    bool operator<(const InstalledPlugin& o) const;
    bool matchesFilter(const std::string& filter) const;
    void enrichFromIndex(const nlohmann::json&) {}  // never enriched
};

class InstalledPluginsModel : public XPArrayModel<InstalledPlugin> {
public:
    using XPArrayModel::XPArrayModel;
};

// Every Info.plist ending in "Contents/Info.plist" anywhere below `folder`.
std::vector<InstalledPlugin> loadPluginsInFolder(const std::filesystem::path& folder, bool systemInstall);
// The machine-wide folder's plug-ins followed by those of the user's home.
std::vector<InstalledPlugin> loadInstalledPlugins(const std::filesystem::path& systemFolder,
                                                  const std::filesystem::path& userFolder);
// The Mac's machine-wide plug-ins and those of the user's home; the machine's alone when there is
// no user's home (see realHomeDirectoryForCurrentUser).
std::vector<InstalledPlugin> loadInstalledPlugins();

}  // namespace tarnwick
