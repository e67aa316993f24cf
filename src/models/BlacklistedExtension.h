#pragma once
// Safari extensions that XProtect blocks.
#include "models/XPArrayModel.h"
#include "platform/PropertyList.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tarnwick {

struct BlacklistedExtension {
    static constexpr const char* typeName = "BlacklistedExtension";

    std::string CFBundleIdentifier = "N/A";
    std::string DeveloperIdentifier = "N/A";
    std::string date;     // from the descriptions
    int64_t version = 0;  // from the descriptions

    // The key of its descriptions and index entries: identifier, a full stop, developer.
    std::string descriptionKey() const { return CFBundleIdentifier + "." + DeveloperIdentifier; }

    bool operator==(const BlacklistedExtension& o) const {
        return CFBundleIdentifier == o.CFBundleIdentifier && DeveloperIdentifier == o.DeveloperIdentifier;
    }
    bool operator<(const BlacklistedExtension& o) const { return version < o.version; }
    bool matchesFilter(const std::string& filter) const;
    void enrichFromIndex(const nlohmann::json& index);
};

class ExtensionsModel : public XPArrayModel<BlacklistedExtension> {
public:
    using XPArrayModel::XPArrayModel;
};

std::vector<BlacklistedExtension> loadBlacklistedExtensions(const std::filesystem::path& metaPlist,
                                                            const nlohmann::json& descriptions);
std::vector<BlacklistedExtension> loadBlacklistedExtensions();
// The same from a meta property list already read (its top-level dictionary).
std::vector<BlacklistedExtension> blacklistedExtensionsFromPlist(const PlistValue& root,
                                                                 const nlohmann::json& descriptions);

}  // namespace tarnwick
