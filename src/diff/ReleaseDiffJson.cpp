#include "diff/ReleaseDiffJson.h"

namespace tarnwick {
namespace {

using Json = nlohmann::ordered_json;

Json side(const XProtectRelease& release) {
    return Json{{"path", release.resources.string()}, {"version", release.meta.version}};
}

Json record(const BlacklistedPlugin& plugin) {
    return Json{{"plugin_id", plugin.plugin_id},
                {"MinimumPluginBundleVersion", plugin.MinimumPluginBundleVersion},
                {"PluginUpdateAvailable", plugin.PluginUpdateAvailable}};
}

Json record(const BlacklistedExtension& extension) {
    return Json{{"CFBundleIdentifier", extension.CFBundleIdentifier},
                {"DeveloperIdentifier", extension.DeveloperIdentifier}};
}

Json record(const GKCheck& check) { return check.codeSigID; }

Json record(const ReleaseRule& rule) { return rule.name; }

template <class Entry>
Json addedAndRemoved(const ListChanges<Entry>& changes) {
    Json added = Json::array();
    for (const Entry& entry : changes.added) added.push_back(record(entry));
    Json removed = Json::array();
    for (const Entry& entry : changes.removed) removed.push_back(record(entry));
    return Json{{"added", std::move(added)}, {"removed", std::move(removed)}};
}

template <class Entry>
Json withChanged(const ListChanges<Entry>& changes) {
    Json out = addedAndRemoved(changes);
    Json changed = Json::array();
    for (const auto& change : changes.changed)
        changed.push_back(Json{{"old", record(change.before)}, {"new", record(change.after)}});
    out["changed"] = std::move(changed);
    return out;
}

Json rules(const ListChanges<ReleaseRule>& changes) {
    Json out = addedAndRemoved(changes);
    Json changed = Json::array();
    for (const auto& change : changes.changed)
        changed.push_back(Json{{"name", change.after.name}, {"old", change.before.text}, {"new", change.after.text}});
    out["changed"] = std::move(changed);
    return out;
}

}  // namespace

Json releaseDiffJson(const XProtectRelease& before, const XProtectRelease& after, const ReleaseDiff& diff) {
    Json out{{"old", side(before)},
             {"new", side(after)},
             {"rules", rules(diff.rules)},
             {"plugins", withChanged(diff.plugins)},
             {"extensions", withChanged(diff.extensions)},
             {"gkChecks", addedAndRemoved(diff.gkChecks)}};
    if (diff.javaMinimum)
        out["javaMinimum"] = Json{{"old", diff.javaMinimum->before}, {"new", diff.javaMinimum->after}};
    return out;
}

}  // namespace tarnwick
