#pragma once
// Safari extensions installed for the user, from Safari's Extensions.plist.
#include "models/XPArrayModel.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tarnwick {

struct InstalledExtension {
    static constexpr const char* typeName = "InstalledExtension";

    bool signed_ = false;   // "Apple-signed"
    bool disabled = true;   // not "Enabled"
    std::string fullPath;   // the property list the entry came from
    std::string archiveFileName = "N/A";
    std::string bundleDirectoryName = "N/A";
    std::string bundleID = "N/A";
    std::string developerID = "N/A";

    bool operator==(const InstalledExtension& o) const = default;
    // The list (greatest first) comes out descending by identifier.
    bool operator<(const InstalledExtension& o) const;
    bool matchesFilter(const std::string& filter) const;
    void enrichFromIndex(const nlohmann::json&) {}  // never enriched
};

class InstalledExtensionsModel : public XPArrayModel<InstalledExtension> {
public:
    using XPArrayModel::XPArrayModel;
};

std::vector<InstalledExtension> loadInstalledExtensions(const std::filesystem::path& extensionsPlist);
// The list of the user's real home directory; empty when there is no user's home.
std::vector<InstalledExtension> loadInstalledExtensions();

}  // namespace tarnwick
