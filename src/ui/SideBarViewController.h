#pragma once
// The sidebar: the maker's logo and name above the table of panels, on the dark sidebar
// background. Row 0 is selected each time it is about to be shown; on the very first launch for
// this user the maker popover opens by itself once the sidebar is on screen.
#include <QWidget>

class QToolButton;

namespace tarnwick::ui {

class ClickableTextField;
class Popover;
class SideBarTableView;

class SideBarViewController : public QWidget {
    Q_OBJECT
public:
    explicit SideBarViewController(QWidget* parent = nullptr);

    SideBarTableView* sidebarTableView() const { return sidebarTableView_; }
    // The maker popover, once made (it is made on first use and kept).
    Popover* aboutPopover() const { return aboutPopover_; }

    void logoClick();
    void logoTextFieldClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showAboutPopover();

    Popover* aboutPopover_ = nullptr;
    SideBarTableView* sidebarTableView_;
    QWidget* topSpacerBox_;
    ClickableTextField* logoTextField_;
    QToolButton* logoButton_;
    bool shownOnce_ = false;
};

}  // namespace tarnwick::ui
