#include "models/InstalledPlugin.h"

#include "platform/MacFileSystem.h"
#include "platform/MacPaths.h"
#include "platform/PlatformHelpers.h"
#include "platform/PropertyList.h"
#include "platform/UnicodeText.h"

namespace tarnwick {

bool InstalledPlugin::operator<(const InstalledPlugin& o) const { return unicode::compare(bundleID, o.bundleID) > 0; }

bool InstalledPlugin::matchesFilter(const std::string& filter) const {
    return unicode::containsIgnoringCase(bundleID, filter);
}

std::vector<InstalledPlugin> loadPluginsInFolder(const std::filesystem::path& folder, bool systemInstall) {
    namespace fs = std::filesystem;
    std::vector<InstalledPlugin> list;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return list;
    // Symbolic links are not followed into directories: a link loop on a Mac volume must not
    // make the walk endless.
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    const fs::recursive_directory_iterator end;
    const std::string suffix = "Contents/Info.plist";
    for (; !ec && it != end; it.increment(ec)) {
        const fs::path relative = it->path().lexically_relative(folder);
        const std::string relativeText = relative.generic_string();
        if (relativeText.size() < suffix.size() ||
            relativeText.compare(relativeText.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        const fs::path full = folder / relative;
        auto info = plist::readDictionaryFile(full);
        if (!info) continue;
        InstalledPlugin plugin;
        plugin.disabled = relativeText.rfind("Disabled Plug-Ins", 0) == 0;
        if (auto v = info->stringAt("CFBundleVersion")) plugin.bundleVersion = *v;
        if (auto v = info->stringAt("CFBundleShortVersionString")) plugin.bundleShortVersion = *v;
        if (auto v = info->stringAt("CFBundleIdentifier")) plugin.bundleID = *v;
        plugin.bundlePath = full.string();
        plugin.systemInstall = systemInstall;
        list.push_back(std::move(plugin));
    }
    return list;
}

std::vector<InstalledPlugin> loadInstalledPlugins(const std::filesystem::path& systemFolder,
                                                  const std::filesystem::path& userFolder) {
    auto list = loadPluginsInFolder(systemFolder, true);
    auto user = loadPluginsInFolder(userFolder, false);
    list.insert(list.end(), std::make_move_iterator(user.begin()), std::make_move_iterator(user.end()));
    return list;
}

std::vector<InstalledPlugin> loadInstalledPlugins() {
    const std::string relative = std::string(macpaths::pluginDirectory).substr(1);  // "Library/Internet Plug-Ins/"
    const auto home = realHomeDirectoryForCurrentUser();
    if (!home) return loadPluginsInFolder(macfs::resolve(macpaths::pluginDirectory), true);
    return loadInstalledPlugins(macfs::resolve(macpaths::pluginDirectory), *home / relative);
}

}  // namespace tarnwick
