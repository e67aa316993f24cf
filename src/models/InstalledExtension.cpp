#include "models/InstalledExtension.h"

#include "platform/MacPaths.h"
#include "platform/PlatformHelpers.h"
#include "platform/PropertyList.h"
#include "platform/UnicodeText.h"

namespace tarnwick {

bool InstalledExtension::operator<(const InstalledExtension& o) const {
    return unicode::compare(bundleID, o.bundleID) < 0;
}

bool InstalledExtension::matchesFilter(const std::string& filter) const {
    return unicode::containsIgnoringCase(bundleID, filter);
}

std::vector<InstalledExtension> loadInstalledExtensions(const std::filesystem::path& extensionsPlist) {
    std::vector<InstalledExtension> list;
    auto root = plist::readDictionaryFile(extensionsPlist);
    if (!root) return list;
    const PlistValue::Array* entries = root->arrayAt("Installed Extensions");
    if (!entries) return list;
    for (const PlistValue& entry : *entries) {
        if (!entry.asDictionary()) continue;
        InstalledExtension extension;
        if (auto v = entry.booleanAt("Apple-signed")) extension.signed_ = *v;
        if (auto v = entry.booleanAt("Enabled")) extension.disabled = !*v;
        extension.fullPath = extensionsPlist.string();
        if (auto v = entry.stringAt("Archive File Name")) extension.archiveFileName = *v;
        if (auto v = entry.stringAt("Bundle Directory Name")) extension.bundleDirectoryName = *v;
        if (auto v = entry.stringAt("Bundle Identifier")) extension.bundleID = *v;
        if (auto v = entry.stringAt("Developer Identifier")) extension.developerID = *v;
        list.push_back(std::move(extension));
    }
    return list;
}

std::vector<InstalledExtension> loadInstalledExtensions() {
    const auto home = realHomeDirectoryForCurrentUser();
    if (!home) return {};  // no user whose extensions these would be
    // The list's path constant is given from the root of the home directory.
    return loadInstalledExtensions(*home / std::string(macpaths::safariExtensionList).substr(1));
}

}  // namespace tarnwick
