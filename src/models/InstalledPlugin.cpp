#include "models/InstalledPlugin.h"

#include "platform/MacFileSystem.h"
#include "platform/Log.h"
#include "platform/MacPaths.h"
#include "platform/PlatformHelpers.h"
#include "platform/PropertyList.h"
#include "platform/UnicodeText.h"

namespace tarnwick {

bool InstalledPlugin::operator<(const InstalledPlugin& o) const { return unicode::compare(bundleID, o.bundleID) > 0; }

bool InstalledPlugin::matchesFilter(const std::string& filter) const {
    return unicode::containsIgnoringCase(bundleID, filter);
}

namespace {

namespace fs = std::filesystem;

// Calls `visit` with every entry below `folder`, at every depth, each folder's entries before its
// next sibling, in the file system's order. Symbolic links are not followed into folders: a link
// loop on a Mac volume must not make the walk endless. A folder that cannot be opened, for
// whatever reason (no permission, an I/O error on a damaged volume, an entry that vanished
// meanwhile), is passed by, and a listing that fails halfway ends that folder only: the walk goes
// on with the rest.
template <class Visit>
void walk(const fs::path& folder, Visit visit) {
    std::vector<fs::directory_iterator> open;
    std::error_code ec;
    open.emplace_back(folder, fs::directory_options::skip_permission_denied, ec);
    if (ec) return;
    const fs::directory_iterator end;
    while (!open.empty()) {
        if (open.back() == end) {
            open.pop_back();
            continue;
        }
        const fs::directory_entry entry = *open.back();
        open.back().increment(ec);
        if (ec) {
            TW_LOG_INFO("Passing by the rest of " + entry.path().parent_path().string() + ": " + ec.message());
            open.back() = end;
            ec.clear();
        }
        visit(entry);
        std::error_code typeError;
        if (entry.symlink_status(typeError).type() != fs::file_type::directory) continue;
        fs::directory_iterator inside(entry.path(), fs::directory_options::skip_permission_denied, ec);
        if (ec) {
            TW_LOG_INFO("Passing by " + entry.path().string() + ": " + ec.message());
            ec.clear();
        } else if (inside != end) {
            open.push_back(std::move(inside));
        }
    }
}

}  // namespace

std::vector<InstalledPlugin> loadPluginsInFolder(const std::filesystem::path& folder, bool systemInstall) {
    std::vector<InstalledPlugin> list;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return list;
    const std::string suffix = "Contents/Info.plist";
    walk(folder, [&](const fs::directory_entry& entry) {
        const fs::path relative = entry.path().lexically_relative(folder);
        const std::string relativeText = relative.generic_string();
        if (relativeText.size() < suffix.size() ||
            relativeText.compare(relativeText.size() - suffix.size(), suffix.size(), suffix) != 0)
            return;
        const fs::path full = folder / relative;
        auto info = plist::readDictionaryFile(full);
        if (!info) return;
        InstalledPlugin plugin;
        plugin.disabled = relativeText.rfind("Disabled Plug-Ins", 0) == 0;
        if (auto v = info->stringAt("CFBundleVersion")) plugin.bundleVersion = *v;
        if (auto v = info->stringAt("CFBundleShortVersionString")) plugin.bundleShortVersion = *v;
        if (auto v = info->stringAt("CFBundleIdentifier")) plugin.bundleID = *v;
        plugin.bundlePath = full.string();
        plugin.systemInstall = systemInstall;
        list.push_back(std::move(plugin));
    });
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
