#include "app/Configuration.h"
#include "app/Constants.h"
#include "models/NotificationNames.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(Configuration, SidebarHasFourRowsInOrder) {
    const Configuration configuration;
    const auto& rows = configuration.sidebar.sidebar_rows;
    ASSERT_EQ(rows.size(), 4u);
    const char* names[] = {"Yara", "Plugins", "Extensions", "Scanner"};
    const char* controllers[] = {"YaraSplitViewID", "BlacklistedPluginsViewID", "BlacklistedExtensionsViewID",
                                 "ScansPrimarySplitViewControllerID"};
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].id, "SideBarCellID");
        EXPECT_EQ(rows[i].name, names[i]);
        EXPECT_EQ(rows[i].controller_id, controllers[i]);
    }
    EXPECT_EQ(configuration.yara_scan_timeout, 10000);
    EXPECT_DOUBLE_EQ(configuration.error_msg_timeout, 10.0);
    // The rule-files panes cannot be resized.
    EXPECT_EQ(configuration.yara.yaraFilesMinWidth, configuration.yara.yaraFilesMaxWidth);
    EXPECT_EQ(configuration.scans.scansYaraFilesMinWidth, configuration.scans.scansYaraFilesMaxWidth);
}

TEST(Configuration, ThemeColoursComeFromRgbValues) {
    const Theme2 theme;
    EXPECT_DOUBLE_EQ(theme.backgroundColor.red, 246 / 255.0);
    EXPECT_DOUBLE_EQ(theme.backgroundColor.green, 246 / 255.0);
    EXPECT_DOUBLE_EQ(theme.backgroundColor.blue, 246 / 255.0);
    EXPECT_DOUBLE_EQ(theme.backgroundColor.alpha, 1.0);
    EXPECT_EQ(theme.defaultBoldTextFont.name, "Avenir Next Medium");
    EXPECT_EQ(theme.defaultLabelTextFont.name, "Avenir Next Bold");
}

TEST(NotificationNames, EachTextIsItsCaseName) {
    EXPECT_EQ(name(TarnwickNotificationNames::sideBarTableSelectionNotification), "sideBarTableSelectionNotification");
    EXPECT_EQ(name(TarnwickNotificationNames::yaraFilesUpdateNotification), "yaraFilesUpdateNotification");
    EXPECT_EQ(name(TarnwickNotificationNames::installedExtensionsUpdateNotification),
              "installedExtensionsUpdateNotification");
    EXPECT_EQ(name(UpdateReason::Filter), "Filter");
    EXPECT_EQ(name(UpdateReason::Enriched), "Enriched");
}

}  // namespace
}  // namespace tarnwick
