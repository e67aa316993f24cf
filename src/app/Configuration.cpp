#include "app/Configuration.h"

#include "platform/Resources.h"

namespace tarnwick {

Configuration::Configuration() {
    struct Row {
        const char* name;
        const char* image;
        const char* storyboard;
        const char* controller;
    };
    static constexpr Row rows[] = {
        {"Yara", "yara", "Yara", "YaraSplitViewID"},
        {"Plugins", "plugin", "Plugins", "BlacklistedPluginsViewID"},
        {"Extensions", "extension", "Extensions", "BlacklistedExtensionsViewID"},
        {"Scanner", "scans", "Scans", "ScansPrimarySplitViewControllerID"},
    };
    for (const Row& row : rows)
        sidebar.sidebar_rows.push_back(
            SideBarItem{"SideBarCellID", row.name, resources::image(row.image), row.storyboard, row.controller});
}

}  // namespace tarnwick
