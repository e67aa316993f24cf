#include "diff/ReleaseDiff.h"

namespace tarnwick {

ReleaseDiff compareReleases(const XProtectRelease& before, const XProtectRelease& after) {
    ReleaseDiff diff;
    diff.rules = compareLists(
        before.rules, after.rules, [](const ReleaseRule& rule) { return rule.name; },
        [](const ReleaseRule& a, const ReleaseRule& b) { return a.text == b.text; });
    // The descriptions' date and version are not the release's: they are left out.
    diff.plugins = compareLists(
        before.plugins, after.plugins, [](const BlacklistedPlugin& plugin) { return plugin.plugin_id; },
        [](const BlacklistedPlugin& a, const BlacklistedPlugin& b) {
            return a.MinimumPluginBundleVersion == b.MinimumPluginBundleVersion &&
                   a.PluginUpdateAvailable == b.PluginUpdateAvailable;
        });
    diff.extensions = compareLists(
        before.extensions, after.extensions,
        [](const BlacklistedExtension& extension) { return extension.CFBundleIdentifier; },
        [](const BlacklistedExtension& a, const BlacklistedExtension& b) {
            return a.DeveloperIdentifier == b.DeveloperIdentifier;
        });
    diff.gkChecks = compareLists(
        before.gkChecks, after.gkChecks, [](const GKCheck& check) { return check.codeSigID; },
        [](const GKCheck&, const GKCheck&) { return true; });
    if (before.meta.JavaWebComponentVersionMinimum != after.meta.JavaWebComponentVersionMinimum)
        diff.javaMinimum = ReleaseDiff::JavaMinimumChange{before.meta.JavaWebComponentVersionMinimum,
                                                         after.meta.JavaWebComponentVersionMinimum};
    return diff;
}

}  // namespace tarnwick
