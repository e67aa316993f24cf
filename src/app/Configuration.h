#pragma once
// The constant configuration: time-outs, theme, sidebar rows and panel sizes. Built once inside
// the central model and read from any thread.
#include "app/Theme.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

struct SideBarItem {
    std::string id;                               // cell template that draws the row
    std::string name;                             // text shown
    std::optional<std::filesystem::path> image;   // the row's image resource, absent when missing
    std::string storyboard;                       // the interface that holds the row's panel
    std::string controller_id;                    // the panel's root controller in it
};

struct SideBarConfiguration {
    double rowHeight = 90;
    double sidebarWidth = 90;
    // The window falls back to its default font when the face is not installed.
    std::optional<Font> sidebarFont = Font{"Avenir Next Medium", 12};
    std::vector<SideBarItem> sidebar_rows;
};

struct YaraConfiguration {
    double yaraTableMinWidth = 200;
    double yaraTableMaxWidth = 350;
    double yaraTableCellHeight = 55;
    double yaraDetailsMinWidth = 500;
    double yaraFilesMinWidth = 300;
    double yaraFilesMaxWidth = 300;
};

struct PluginsConfiguration {
    double pluginsTableMinWidth = 200;
    double pluginsTableMaxWidth = 350;
    double pluginsTableCellHeight = 55;
    double pluginsDetailsMinWidth = 500;
};

struct ExtensionsConfiguraion {
    double extensionsTableMinWidth = 200;
    double extensionsTableMaxWidth = 350;
    double extensionsTableCellHeight = 55;
    double extensionsDetailsMinWidth = 500;
};

struct GKChecksConfiguration {
    double gkChecksTableMinWidth = 200;
    double gkChecksTableMaxWidth = 350;
    double gkChecksTableCellHeight = 55;
    double gkChecksDetailsMinWidth = 500;
};

struct scansConfiguration {
    double scansYaraFilesMinWidth = 300;
    double scansYaraFilesMaxWidth = 300;
};

struct Configuration {
    Configuration();

    // How the window tells whether a font face resolves on this machine; the configuration made
    // after it is set keeps its sidebar font only when it does. Without one every face counts.
    static void setFontAvailability(std::function<bool(const Font&)> resolves);

    int64_t yara_scan_timeout = 10000;
    double error_msg_timeout = 10.0;
    Themes themes;
    SideBarConfiguration sidebar;
    YaraConfiguration yara;
    PluginsConfiguration plugins;
    ExtensionsConfiguraion extensions;
    GKChecksConfiguration gkChecks;
    scansConfiguration scans;
};

}  // namespace tarnwick
