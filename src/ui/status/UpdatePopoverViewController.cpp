#include "ui/status/UpdatePopoverViewController.h"

#include "app/TarnwickModel.h"
#include "models/NotificationNames.h"
#include "platform/BackgroundQueue.h"
#include "ui/NotificationObserver.h"
#include "ui/status/VersionComparison.h"
#include "ui/theme/FlatButton.h"
#include "ui/theme/PaintedContainers.h"
#include "ui/theme/ThemeValues.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tarnwick::ui {
namespace {

FlatButton* makeButton(const QString& title, const QString& objectName, QWidget* parent) {
    auto* button = new FlatButton(parent);
    button->setObjectName(objectName);
    button->setText(title);
    button->setAccessibleName(title);
    button->setFont(themeFont(&Theme::defaultBoldTextFont));
    button->setButtonColor(Qt::white);
    button->setBorderColor(themeColor(&Theme::dividerColor));
    button->setTextColor(themeColor(&Theme::defaultTextColor));
    button->setActiveButtonColor(themeColor(&Theme::dividerColor));
    button->setActiveBorderColor(themeColor(&Theme::dividerColor));
    button->setActiveTextColor(Qt::white);
    button->setMinimumHeight(24);
    return button;
}

// A plain box holding one widget, so it can be shown and hidden as a unit.
QWidget* box(QWidget* content, const QString& objectName, QWidget* parent) {
    auto* holder = new QWidget(parent);
    holder->setObjectName(objectName);
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    content->setParent(holder);
    layout->addWidget(content);
    return holder;
}

}  // namespace

UpdatePopoverViewController::UpdatePopoverViewController(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("updatePopoverViewController"));
    const QFont bold = themeFont(&Theme::defaultBoldTextFont);
    const QFont text = themeFont(&Theme::defaultTextFont);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, themeColor(&Theme::defaultTextColor));
    setPalette(colours);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 12);
    column->setSpacing(8);

    auto* title = new ColorBox(themeColor(&Theme::dividerColor), this);
    auto* titleRow = new QHBoxLayout(title);
    titleRow->setContentsMargins(12, 6, 12, 6);
    titleTextField_ = new QLabel(tr("XProtect"), title);
    titleTextField_->setObjectName(QStringLiteral("titleTextField"));
    titleTextField_->setFont(themeFont(&Theme::defaultTitleSecondaryFont));
    QPalette white = titleTextField_->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    titleTextField_->setPalette(white);
    titleRow->addWidget(titleTextField_);
    column->addWidget(title);

    auto* grid = new QGridLayout();
    grid->setContentsMargins(12, 0, 12, 0);
    grid->setHorizontalSpacing(12);
    const auto addRow = [&](int row, const QString& label, const QString& objectName) {
        auto* name = new QLabel(label, this);
        name->setFont(bold);
        auto* value = new QLabel(this);
        value->setObjectName(objectName);
        value->setFont(bold);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(name, row, 0);
        grid->addWidget(value, row, 1);
        return value;
    };
    localVersionTextField_ = addRow(0, tr("Installed version:"), QStringLiteral("localVersionTextField"));
    latestVersionTextField_ = addRow(1, tr("Latest version:"), QStringLiteral("latestVersionTextField"));
    updateTimeTextField_ = addRow(2, tr("Last check:"), QStringLiteral("updateTimeTextField"));
    grid->setColumnStretch(1, 1);
    column->addLayout(grid);

    auto* upToDate = new QLabel(tr("XProtect is up to date."));
    upToDate->setObjectName(QStringLiteral("updateToDateTextField"));
    upToDate->setFont(text);
    upToDateBox_ = box(upToDate, QStringLiteral("upToDateBox"), this);
    auto* forceText = new QLabel(tr("A newer XProtect is offered. Install it now?"));
    forceText->setObjectName(QStringLiteral("forceUpdateTextField"));
    forceText->setFont(text);
    forceText->setWordWrap(true);
    updateTextBox_ = box(forceText, QStringLiteral("updateTextBox"), this);
    for (QWidget* shown : {upToDateBox_, updateTextBox_}) {
        shown->layout()->setContentsMargins(12, 0, 12, 0);
        column->addWidget(shown);
    }
    column->addStretch(1);

    auto* buttons = new QHBoxLayout();
    buttons->setContentsMargins(12, 0, 12, 0);
    refreshButton_ = makeButton(tr("Refresh"), QStringLiteral("refreshButton"), this);
    forceUpdateButton_ = makeButton(tr("Update Now"), QStringLiteral("forceUpdateButton"), this);
    updateButtonBox_ = box(forceUpdateButton_, QStringLiteral("updateButtonBox"), this);
    buttons->addWidget(refreshButton_);
    buttons->addStretch(1);
    buttons->addWidget(updateButtonBox_);
    column->addLayout(buttons);

    connect(refreshButton_, &FlatButton::clicked, this, &UpdatePopoverViewController::refreshButtonClick);
    connect(forceUpdateButton_, &FlatButton::clicked, this, &UpdatePopoverViewController::forceUpdateButtonClick);
    versionObserver_ = std::make_unique<NotificationObserver>(
        name(TarnwickNotificationNames::xProtectVersionNotification), this,
        [this](const Notification&) { updateXProtectVersionStatus(); });
    updateXProtectVersionStatus();
}

UpdatePopoverViewController::~UpdatePopoverViewController() = default;

void UpdatePopoverViewController::updateXProtectVersionStatus() {
    TarnwickModel& model = sharedModel();
    const int64_t installed = model._xprotectMeta.meta.version;
    localVersionTextField_->setText(QString::number(installed));
    latestVersionTextField_->setText(QString::fromStdString(shownLatestVersion(model._update.xprotectBundleVersion)));
    updateTimeTextField_->setText(QString::fromStdString(model.lastUpdateCheck()));
    const bool upToDate = latestEqualsInstalled(model._update.xprotectBundleVersion, installed);
    updateButtonBox_->setVisible(!upToDate);
    updateTextBox_->setVisible(!upToDate);
    upToDateBox_->setVisible(upToDate);
}

void UpdatePopoverViewController::refreshButtonClick() { sharedModel()._update.getXProtectCatalog(); }

void UpdatePopoverViewController::forceUpdateButtonClick() {
    BackgroundQueue::async([] { sharedModel()._update.forceUpdates(); });
}

}  // namespace tarnwick::ui
