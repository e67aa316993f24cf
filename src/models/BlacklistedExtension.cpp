#include "models/BlacklistedExtension.h"

#include "models/Descriptions.h"
#include "platform/LenientJson.h"
#include "platform/MacPaths.h"
#include "platform/PropertyList.h"
#include "platform/UnicodeText.h"

namespace tarnwick {

bool BlacklistedExtension::matchesFilter(const std::string& filter) const {
    return unicode::containsIgnoringCase(CFBundleIdentifier, filter);
}

void BlacklistedExtension::enrichFromIndex(const nlohmann::json& index) {
    const std::string key = descriptionKey();
    date = json::text(index, {key, "Date"});
    version = json::integer(index, {key, "Version"});
}

std::vector<BlacklistedExtension> loadBlacklistedExtensions(const std::filesystem::path& metaPlist,
                                                            const nlohmann::json& descriptions) {
    auto root = plist::readDictionaryFile(metaPlist);
    return root ? blacklistedExtensionsFromPlist(*root, descriptions) : std::vector<BlacklistedExtension>{};
}

std::vector<BlacklistedExtension> blacklistedExtensionsFromPlist(const PlistValue& root,
                                                                 const nlohmann::json& descriptions) {
    std::vector<BlacklistedExtension> list;
    const PlistValue* blacklist = root.find("ExtensionBlacklist");
    const PlistValue::Array* entries = blacklist ? blacklist->arrayAt("Extensions") : nullptr;
    if (!entries) return list;
    for (const PlistValue& entry : *entries) {
        if (!entry.asDictionary()) continue;
        BlacklistedExtension extension;
        if (auto id = entry.stringAt("CFBundleIdentifier")) extension.CFBundleIdentifier = *id;
        if (auto developer = entry.stringAt("Developer Identifier")) extension.DeveloperIdentifier = *developer;
        const std::string key = extension.descriptionKey();
        extension.date = json::text(descriptions, {key, "Date"});
        extension.version = json::integer(descriptions, {key, "Version"});
        list.push_back(std::move(extension));
    }
    return list;
}

std::vector<BlacklistedExtension> loadBlacklistedExtensions() {
    return loadBlacklistedExtensions(macpaths::xprotectResource("XProtect.meta.plist"),
                                     loadDescriptions("Extensions"));
}

}  // namespace tarnwick
