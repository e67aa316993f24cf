#pragma once
// What changed from one XProtect release to another.
#include "diff/ListChanges.h"
#include "diff/XProtectRelease.h"

#include <optional>
#include <string>

namespace tarnwick {

struct ReleaseDiff {
    struct JavaMinimumChange {
        std::string before;
        std::string after;
    };

    // Rules by name; changed when their RAW texts differ.
    ListChanges<ReleaseRule> rules;
    // Plug-ins by identifier; changed when the minimum version or the update flag differs.
    ListChanges<BlacklistedPlugin> plugins;
    // Extensions by bundle identifier; changed when the developer differs.
    ListChanges<BlacklistedExtension> extensions;
    // Gatekeeper checks are nothing but their identifier: added or removed, never changed.
    ListChanges<GKCheck> gkChecks;
    // Set when the minimum Java web-component version differs.
    std::optional<JavaMinimumChange> javaMinimum;

    bool empty() const {
        return rules.empty() && plugins.empty() && extensions.empty() && gkChecks.empty() && !javaMinimum;
    }
};

ReleaseDiff compareReleases(const XProtectRelease& before, const XProtectRelease& after);

}  // namespace tarnwick
