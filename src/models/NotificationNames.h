#pragma once
// The names of the notifications through which models tell views about changes, and views tell
// each other about selections. Each name's text is exactly its case name.
#include <string>
#include <string_view>

namespace tarnwick {

// Each notification once: the enum case and its text come from this list.
#define TARNWICK_NOTIFICATION_NAMES(X) \
    X(sideBarTableSelectionNotification) \
    X(xProtectVersionNotification) \
    X(xProtectUpdateFinishedNotification) \
    X(xProtectUpdateStartedNotification) \
    X(scansToggleRightNotification) \
    X(scanUpdateFileCountNotification) \
    X(yaraToggleRightNotification) \
    X(yaraTitleSelectionNotification) \
    X(yaraRuleSelectionNotification) \
    X(yaraRulesUpdateNotification) \
    X(yaraRemoveRuleFileNotification) \
    X(yaraScanUpdateNotification) \
    X(yaraErrorNotification) \
    X(yaraToggleFileDetailsViewNotification) \
    X(yaraScanSelectionNotification) \
    X(yaraScanCountUpdateNotification) \
    X(yaraRequestRemoveFileNotification) \
    X(yaraFileSelectionNotification) \
    X(yaraFilesUpdateNotification) \
    X(pluginsToggleRightNotification) \
    X(pluginsTitleSelectionNotification) \
    X(pluginsTableSelectionNotification) \
    X(pluginsUpdateNotification) \
    X(gkChecksToggleGKChecksRightNotification) \
    X(gkChecksTitleSelectionNotification) \
    X(gkChecksTableSelectionNotification) \
    X(gkChecksUpdateNotification) \
    X(extensionsToggleRightNotification) \
    X(extensionsTitleSelectionNotification) \
    X(extensionsTableSelectionNotification) \
    X(extensionsUpdateNotification) \
    X(installedPluginsUpdateNotification) \
    X(installedExtensionsUpdateNotification)

enum class TarnwickNotificationNames {
#define TARNWICK_NOTIFICATION_CASE(n) n,
    TARNWICK_NOTIFICATION_NAMES(TARNWICK_NOTIFICATION_CASE)
#undef TARNWICK_NOTIFICATION_CASE
};

// The notification name posted and observed for a case.
inline std::string name(TarnwickNotificationNames n) {
#define TARNWICK_NOTIFICATION_TEXT(n) #n,
    static constexpr std::string_view texts[] = {TARNWICK_NOTIFICATION_NAMES(TARNWICK_NOTIFICATION_TEXT)};
#undef TARNWICK_NOTIFICATION_TEXT
    return std::string(texts[static_cast<size_t>(n)]);
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
