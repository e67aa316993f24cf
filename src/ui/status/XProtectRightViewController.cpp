#include "ui/status/XProtectRightViewController.h"

#include "app/TarnwickModel.h"
#include "models/NotificationNames.h"
#include "platform/PlatformHelpers.h"
#include "ui/NotificationObserver.h"
#include "ui/status/UpdatePopoverViewController.h"
#include "ui/status/VersionComparison.h"
#include "ui/theme/ActivitySpinner.h"
#include "ui/theme/ClickableTextField.h"
#include "ui/theme/FlatButton.h"
#include "ui/theme/Images.h"
#include "ui/theme/PaintedContainers.h"
#include "ui/theme/Popover.h"
#include "ui/theme/TextBuilders.h"
#include "ui/theme/ThemeValues.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QShowEvent>
#include <QToolButton>

namespace tarnwick::ui {
namespace {

std::function<void()>& relaunchStep() {
    static std::function<void()> step = [] {
        relaunchAfterDelay(0.5, [] { QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection); });
    };
    return step;
}

}  // namespace

void XProtectRightViewController::setRelaunch(std::function<void()> relaunch) { relaunchStep() = std::move(relaunch); }

XProtectRightViewController::XProtectRightViewController(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("xProtectRightViewController"));
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    topBox_ = new ColorBox(themeColor(&Theme::topBoxColor), this);
    topBox_->setObjectName(QStringLiteral("topBox"));
    outer->addWidget(topBox_);
    setFixedHeight(44);

    auto* row = new QHBoxLayout(topBox_);
    row->setContentsMargins(12, 6, 12, 6);
    row->setSpacing(8);

    xProtectVersionStatusButton_ = new QToolButton(topBox_);
    xProtectVersionStatusButton_->setObjectName(QStringLiteral("xProtectVersionStatusButton"));
    xProtectVersionStatusButton_->setAccessibleName(QStringLiteral("XProtect status"));
    xProtectVersionStatusButton_->setIcon(image(QStringLiteral("xprotect_status")));
    xProtectVersionStatusButton_->setIconSize(QSize(20, 20));
    xProtectVersionStatusButton_->setAutoRaise(true);
    xProtectVersionStatusButton_->setStyleSheet(QStringLiteral("QToolButton { border: none; background: transparent; }"));
    xProtectVersionStatusButton_->hide();
    row->addWidget(xProtectVersionStatusButton_);

    updateCheckAnimation_ = new ActivitySpinner(topBox_);
    updateCheckAnimation_->setObjectName(QStringLiteral("updateCheckAnimation"));
    row->addWidget(updateCheckAnimation_);

    const QFont bold = themeFont(&Theme::defaultBoldTextFont);
    const QString versionText = QStringLiteral("XProtect Version %1").arg(sharedModel()._xprotectMeta.meta.version);
    xProtectVersionTextField_ = new ClickableTextField(topBox_);
    xProtectVersionTextField_->setObjectName(QStringLiteral("xProtectVersionTextField"));
    xProtectVersionTextField_->setAccessibleName(versionText);
    xProtectVersionTextField_->setText(underlineTextWithText(versionText));
    xProtectVersionTextField_->setFont(bold);
    // The pointing hand comes with the first version result.
    xProtectVersionTextField_->setCursor(Qt::ArrowCursor);
    row->addWidget(xProtectVersionTextField_);

    updateCheckTextField_ = new QLabel(tr("Checking for updates"), topBox_);
    updateCheckTextField_->setObjectName(QStringLiteral("updateCheckTextField"));
    updateCheckTextField_->setFont(themeFont(&Theme::defaultTextFont));
    updateCheckTextField_->hide();
    row->addWidget(updateCheckTextField_);
    row->addStretch(1);

    toggleRightDescriptionTextField_ = new QLabel(topBox_);
    toggleRightDescriptionTextField_->setObjectName(QStringLiteral("toggleRightDescriptionTextField"));
    toggleRightDescriptionTextField_->setFont(bold);
    row->addWidget(toggleRightDescriptionTextField_);

    toggleRightButton_ = new FlatButton(topBox_);
    toggleRightButton_->setObjectName(QStringLiteral("toggleRightButton"));
    toggleRightButton_->setAccessibleName(tr("Show or hide the side pane"));
    toggleRightButton_->setText(QStringLiteral("⇆"));
    toggleRightButton_->setButtonColor(themeColor(&Theme::topBoxColor));
    toggleRightButton_->setBorderColor(themeColor(&Theme::dividerColor));
    toggleRightButton_->setTextColor(themeColor(&Theme::defaultTextColor));
    toggleRightButton_->setActiveButtonColor(themeColor(&Theme::secondaryTitleBoxColor));
    toggleRightButton_->setActiveTextColor(themeColor(&Theme::defaultTextColor));
    row->addWidget(toggleRightButton_);

    QPalette colours = topBox_->palette();
    colours.setColor(QPalette::WindowText, themeColor(&Theme::defaultTextColor));
    colours.setColor(QPalette::Text, themeColor(&Theme::defaultTextColor));
    topBox_->setPalette(colours);

    connect(xProtectVersionTextField_, &ClickableTextField::clicked, this, &XProtectRightViewController::versionInfoClick);
    connect(toggleRightButton_, &FlatButton::clicked, this, &XProtectRightViewController::toggleRightSplitItem);

    const auto observe = [this](TarnwickNotificationNames which, void (XProtectRightViewController::*handler)()) {
        observers_.push_back(std::make_unique<NotificationObserver>(
            name(which), this, [this, handler](const Notification&) { (this->*handler)(); }));
    };
    observe(TarnwickNotificationNames::xProtectVersionNotification, &XProtectRightViewController::versionArrived);
    observe(TarnwickNotificationNames::xProtectUpdateStartedNotification, &XProtectRightViewController::updateStarted);
    observe(TarnwickNotificationNames::xProtectUpdateFinishedNotification, &XProtectRightViewController::updateFinished);
}

XProtectRightViewController::~XProtectRightViewController() = default;

void XProtectRightViewController::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A window system's own show (a window mapped again) is not the strip being shown.
    if (event->spontaneous() || doneUpdateCheck_ || checkStarted_) return;
    // One check per strip: showing it again while its check runs starts no other.
    checkStarted_ = true;
    updateCheckAnimation_->startAnimation();
    updateCheckTextField_->show();
    sharedModel()._update.getXProtectCatalog();
}

void XProtectRightViewController::versionArrived() {
    updateCheckTextField_->hide();
    xProtectVersionStatusButton_->show();
    updateCheckAnimation_->stopAnimation();
    doneUpdateCheck_ = true;
    TarnwickModel& model = sharedModel();
    setUpdateMark(!latestEqualsInstalled(model._update.xprotectBundleVersion, model._xprotectMeta.meta.version));
    xProtectVersionTextField_->setCursor(Qt::PointingHandCursor);
}

void XProtectRightViewController::updateStarted() {
    updateCheckAnimation_->startAnimation();
    updateCheckTextField_->setText(tr("Updating XProtect"));
    updateCheckTextField_->show();
    setUpdateMark(true);
}

void XProtectRightViewController::updateFinished() {
    // Every strip hears this; the program relaunches once.
    static bool relaunching = false;
    if (relaunching) return;
    relaunching = true;
    if (relaunchStep()) relaunchStep()();
}

void XProtectRightViewController::setUpdateMark(bool red) {
    showsUpdateMark_ = red;
    xProtectVersionStatusButton_->setIcon(image(red ? QStringLiteral("exclamation_red") : QStringLiteral("xprotect_status")));
    xProtectVersionStatusButton_->setToolTip(red ? tr("A newer XProtect is available") : tr("XProtect is up to date"));
}

void XProtectRightViewController::versionInfoClick() {
    if (!versionPopover_) {
        popoverContent_ = new UpdatePopoverViewController();
        versionPopover_ = new Popover(popoverContent_, QSize(300, 200), this);
        versionPopover_->setObjectName(QStringLiteral("versionPopover"));
    }
    popoverContent_->updateXProtectVersionStatus();
    versionPopover_->showRelativeTo(xProtectVersionTextField_, Popover::Edge::maxY);
}

void XProtectRightViewController::toggleRightSplitItem() {
    NotificationCenter::defaultCenter().post(name(TarnwickNotificationNames::yaraToggleFileDetailsViewNotification), this);
}

void XProtectRightViewController::showToggleRightWithDescription(const QString& description) {
    toggleRightDescriptionTextField_->setText(description);
    toggleRightDescriptionTextField_->show();
    toggleRightButton_->show();
}

void XProtectRightViewController::hideToggleRight() {
    toggleRightDescriptionTextField_->hide();
    toggleRightButton_->hide();
}

}  // namespace tarnwick::ui
