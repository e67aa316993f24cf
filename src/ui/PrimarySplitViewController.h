#pragma once
// The window's two panes: the sidebar, fixed at the configured width and never collapsed, and the
// content area, which takes all the remaining width.
#include <QWidget>

namespace tarnwick::ui {

class MainContentViewController;
class SideBarViewController;

class PrimarySplitViewController : public QWidget {
    Q_OBJECT
public:
    explicit PrimarySplitViewController(QWidget* parent = nullptr);

    SideBarViewController* sidebarSplitViewItem() const { return sidebar_; }
    MainContentViewController* mainContentSplitViewItem() const { return content_; }

private:
    SideBarViewController* sidebar_;
    MainContentViewController* content_;
};

}  // namespace tarnwick::ui
