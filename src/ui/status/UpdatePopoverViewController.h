#pragma once
// The version popover of the status strip: installed and latest versions, the time of the last
// check, a refresh button, and either "up to date" or the force-update button with its text.
#include <QWidget>

#include <memory>

class QLabel;

namespace tarnwick::ui {

class FlatButton;
class NotificationObserver;

class UpdatePopoverViewController : public QWidget {
    Q_OBJECT
public:
    explicit UpdatePopoverViewController(QWidget* parent = nullptr);
    ~UpdatePopoverViewController() override;

    // Reads the versions and the check time again and shows the matching box.
    void updateXProtectVersionStatus();
    void refreshButtonClick();
    void forceUpdateButtonClick();

    QLabel* localVersionTextField() const { return localVersionTextField_; }
    QLabel* latestVersionTextField() const { return latestVersionTextField_; }
    QLabel* updateTimeTextField() const { return updateTimeTextField_; }
    QWidget* updateButtonBox() const { return updateButtonBox_; }
    QWidget* updateTextBox() const { return updateTextBox_; }
    QWidget* upToDateBox() const { return upToDateBox_; }

private:
    QLabel* titleTextField_;
    QLabel* localVersionTextField_;
    QLabel* latestVersionTextField_;
    QLabel* updateTimeTextField_;
    QWidget* updateButtonBox_;
    QWidget* updateTextBox_;
    QWidget* upToDateBox_;
    FlatButton* refreshButton_;
    FlatButton* forceUpdateButton_;
    std::unique_ptr<NotificationObserver> versionObserver_;
};

}  // namespace tarnwick::ui
