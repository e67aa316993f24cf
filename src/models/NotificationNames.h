#pragma once
// The names of the notifications through which models tell views about changes, and views tell
// each other about selections. Each name's text is exactly its case name.
#include <array>
#include <string>
#include <string_view>

namespace tarnwick {

enum class TarnwickNotificationNames {
    sideBarTableSelectionNotification,
    xProtectVersionNotification,
    xProtectUpdateFinishedNotification,
    xProtectUpdateStartedNotification,
    scansToggleRightNotification,
    scanUpdateFileCountNotification,
    yaraToggleRightNotification,
    yaraTitleSelectionNotification,
    yaraRuleSelectionNotification,
    yaraRulesUpdateNotification,
    yaraRemoveRuleFileNotification,
    yaraScanUpdateNotification,
    yaraErrorNotification,
    yaraToggleFileDetailsViewNotification,
    yaraScanSelectionNotification,
    yaraScanCountUpdateNotification,
    yaraRequestRemoveFileNotification,
    yaraFileSelectionNotification,
    yaraFilesUpdateNotification,
    pluginsToggleRightNotification,
    pluginsTitleSelectionNotification,
    pluginsTableSelectionNotification,
    pluginsUpdateNotification,
    gkChecksToggleGKChecksRightNotification,
    gkChecksTitleSelectionNotification,
    gkChecksTableSelectionNotification,
    gkChecksUpdateNotification,
    extensionsToggleRightNotification,
    extensionsTitleSelectionNotification,
    extensionsTableSelectionNotification,
    extensionsUpdateNotification,
    installedPluginsUpdateNotification,
    installedExtensionsUpdateNotification,
};

inline constexpr std::array<std::string_view, 33> notificationNameTexts = {
    "sideBarTableSelectionNotification",
    "xProtectVersionNotification",
    "xProtectUpdateFinishedNotification",
    "xProtectUpdateStartedNotification",
    "scansToggleRightNotification",
    "scanUpdateFileCountNotification",
    "yaraToggleRightNotification",
    "yaraTitleSelectionNotification",
    "yaraRuleSelectionNotification",
    "yaraRulesUpdateNotification",
    "yaraRemoveRuleFileNotification",
    "yaraScanUpdateNotification",
    "yaraErrorNotification",
    "yaraToggleFileDetailsViewNotification",
    "yaraScanSelectionNotification",
    "yaraScanCountUpdateNotification",
    "yaraRequestRemoveFileNotification",
    "yaraFileSelectionNotification",
    "yaraFilesUpdateNotification",
    "pluginsToggleRightNotification",
    "pluginsTitleSelectionNotification",
    "pluginsTableSelectionNotification",
    "pluginsUpdateNotification",
    "gkChecksToggleGKChecksRightNotification",
    "gkChecksTitleSelectionNotification",
    "gkChecksTableSelectionNotification",
    "gkChecksUpdateNotification",
    "extensionsToggleRightNotification",
    "extensionsTitleSelectionNotification",
    "extensionsTableSelectionNotification",
    "extensionsUpdateNotification",
    "installedPluginsUpdateNotification",
    "installedExtensionsUpdateNotification",
};

// The notification name posted and observed for a case.
inline std::string name(TarnwickNotificationNames n) {
    return std::string(notificationNameTexts[static_cast<size_t>(n)]);
}

// Why a list model announces a change. The announcement carries the reason's name.
enum class UpdateReason { AddFile, RemoveFile, Filter, Enriched };

inline std::string name(UpdateReason reason) {
    switch (reason) {
    case UpdateReason::AddFile: return "AddFile";
    case UpdateReason::RemoveFile: return "RemoveFile";
    case UpdateReason::Filter: return "Filter";
    case UpdateReason::Enriched: return "Enriched";
    }
    return "";
}

}  // namespace tarnwick
