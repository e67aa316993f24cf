#pragma once
// The XProtect status strip at the top of a panel: the installed version (click it for the version
// popover), the update check's spinner and progress text, the status image (red when the latest
// offered version differs), and a toggle that hosts may use to fold a pane away. Every strip runs
// the update check the first time it is shown, until some check has finished.
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QToolButton;

namespace tarnwick::ui {

class ActivitySpinner;
class ClickableTextField;
class ColorBox;
class FlatButton;
class NotificationObserver;
class Popover;
class UpdatePopoverViewController;

class XProtectRightViewController : public QWidget {
    Q_OBJECT
public:
    explicit XProtectRightViewController(QWidget* parent = nullptr);
    ~XProtectRightViewController() override;

    bool doneUpdateCheck() const { return doneUpdateCheck_; }

    void versionInfoClick();
    void toggleRightSplitItem();
    void showToggleRightWithDescription(const QString& description);
    void hideToggleRight();

    // What a finished forced update does: relaunch the program after half a second and quit. Tests
    // replace it; the program does it once, however many strips heard the news.
    static void setRelaunch(std::function<void()> relaunch);

    Popover* versionPopover() const { return versionPopover_; }
    QToolButton* statusButton() const { return xProtectVersionStatusButton_; }
    // Whether the status image is the red mark.
    bool showsUpdateMark() const { return showsUpdateMark_; }
    ActivitySpinner* spinner() const { return updateCheckAnimation_; }
    QLabel* progressLabel() const { return updateCheckTextField_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void versionArrived();
    void updateStarted();
    void updateFinished();
    void setUpdateMark(bool red);

    bool doneUpdateCheck_ = false;
    bool checkStarted_ = false;
    bool showsUpdateMark_ = false;
    Popover* versionPopover_ = nullptr;
    UpdatePopoverViewController* popoverContent_ = nullptr;
    ColorBox* topBox_;
    QToolButton* xProtectVersionStatusButton_;
    ClickableTextField* xProtectVersionTextField_;
    ActivitySpinner* updateCheckAnimation_;
    QLabel* updateCheckTextField_;
    QLabel* toggleRightDescriptionTextField_;
    FlatButton* toggleRightButton_;
    std::vector<std::unique_ptr<NotificationObserver>> observers_;
};

}  // namespace tarnwick::ui
