#include "app/Configuration.h"

#include "platform/Resources.h"

#include <mutex>

namespace tarnwick {
namespace {

std::mutex availabilityMutex;
std::function<bool(const Font&)>& fontAvailability() {
    static std::function<bool(const Font&)> resolves;
    return resolves;
}

}  // namespace

void Configuration::setFontAvailability(std::function<bool(const Font&)> resolves) {
    std::lock_guard guard(availabilityMutex);
    fontAvailability() = std::move(resolves);
}

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
    std::lock_guard guard(availabilityMutex);
    if (fontAvailability() && sidebar.sidebarFont && !fontAvailability()(*sidebar.sidebarFont)) sidebar.sidebarFont.reset();
}

}  // namespace tarnwick
