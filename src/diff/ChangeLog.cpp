#include "diff/ChangeLog.h"

#include "diff/UnifiedDiff.h"

#include <vector>

namespace tarnwick {
namespace {

std::string yesNo(bool value) { return value ? "yes" : "no"; }

template <class Entry>
std::string sectionHeading(const std::string& title, const ListChanges<Entry>& changes) {
    std::vector<std::string> counts;
    if (!changes.added.empty()) counts.push_back(std::to_string(changes.added.size()) + " added");
    if (!changes.removed.empty()) counts.push_back(std::to_string(changes.removed.size()) + " removed");
    if (!changes.changed.empty()) counts.push_back(std::to_string(changes.changed.size()) + " changed");
    std::string out = "\n" + title + ":";
    for (size_t i = 0; i < counts.size(); ++i) out += (i ? ", " : " ") + counts[i];
    return out + "\n";
}

// The entry's line after its mark, and, for a changed entry, what changed.
std::string entryText(const ReleaseRule& rule) { return rule.name; }
std::string entryText(const GKCheck& check) { return check.codeSigID; }

std::string entryText(const BlacklistedPlugin& plugin) {
    return plugin.plugin_id + " (minimum " + plugin.MinimumPluginBundleVersion +
           (plugin.PluginUpdateAvailable ? ", update available)" : ")");
}

std::string entryText(const BlacklistedExtension& extension) {
    return extension.CFBundleIdentifier + " (developer " + extension.DeveloperIdentifier + ")";
}

std::string changeText(const BlacklistedPlugin& before, const BlacklistedPlugin& after) {
    std::vector<std::string> parts;
    if (before.MinimumPluginBundleVersion != after.MinimumPluginBundleVersion)
        parts.push_back("minimum " + before.MinimumPluginBundleVersion + " -> " + after.MinimumPluginBundleVersion);
    if (before.PluginUpdateAvailable != after.PluginUpdateAvailable)
        parts.push_back("update available " + yesNo(before.PluginUpdateAvailable) + " -> " +
                        yesNo(after.PluginUpdateAvailable));
    std::string out = after.plugin_id + ":";
    for (size_t i = 0; i < parts.size(); ++i) out += (i ? ", " : " ") + parts[i];
    return out;
}

std::string changeText(const BlacklistedExtension& before, const BlacklistedExtension& after) {
    return after.CFBundleIdentifier + ": developer " + before.DeveloperIdentifier + " -> " + after.DeveloperIdentifier;
}

// Never called: a check is nothing but its identifier, so checks are only added or removed.
std::string changeText(const GKCheck&, const GKCheck& after) { return after.codeSigID; }

// The name, then the diff's lines; the section ends the last of them.
std::string changeText(const ReleaseRule& before, const ReleaseRule& after) {
    std::string diff = unifiedDiff(before.text, after.text, "old/" + before.name, "new/" + after.name);
    if (!diff.empty()) diff.pop_back();
    return after.name + "\n" + diff;
}

template <class Entry>
std::string section(const std::string& title, const ListChanges<Entry>& changes) {
    if (changes.empty()) return "";
    std::string out = sectionHeading(title, changes);
    for (const Entry& entry : changes.added) out += "+ " + entryText(entry) + "\n";
    for (const Entry& entry : changes.removed) out += "- " + entryText(entry) + "\n";
    for (const auto& change : changes.changed) out += "~ " + changeText(change.before, change.after) + "\n";
    return out;
}

}  // namespace

std::string changeLog(const XProtectRelease& before, const XProtectRelease& after, const ReleaseDiff& diff) {
    std::string out = "XProtect " + std::to_string(before.meta.version) + " -> " + std::to_string(after.meta.version) +
                      "\nold: " + before.resources.string() + "\nnew: " + after.resources.string() + "\n";
    if (diff.empty()) return out + "\nNo differences.\n";
    out += section("Rules", diff.rules);
    out += section("Plug-ins", diff.plugins);
    out += section("Extensions", diff.extensions);
    out += section("Gatekeeper checks", diff.gkChecks);
    if (diff.javaMinimum)
        out += "\nJava web components: minimum " + diff.javaMinimum->before + " -> " + diff.javaMinimum->after + "\n";
    return out;
}

}  // namespace tarnwick
