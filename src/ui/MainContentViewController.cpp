#include "ui/MainContentViewController.h"

#include "app/TarnwickModel.h"
#include "models/NotificationNames.h"
#include "platform/Log.h"
#include "ui/NotificationObserver.h"
#include "ui/PanelRegistry.h"

#include <QStackedLayout>
#include <QVBoxLayout>

namespace tarnwick::ui {

MainContentViewController::MainContentViewController(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("mainContentViewController"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    mainContainerView_ = new QWidget(this);
    mainContainerView_->setObjectName(QStringLiteral("mainContainerView"));
    layout->addWidget(mainContainerView_);
    stack_ = new QStackedLayout(mainContainerView_);
    stack_->setContentsMargins(0, 0, 0, 0);
    empty_ = new QWidget(mainContainerView_);
    stack_->addWidget(empty_);

    selectionObserver_ = std::make_unique<NotificationObserver>(
        name(TarnwickNotificationNames::sideBarTableSelectionNotification), this,
        [this](const Notification& notification) { sideBarSelectionChanged(notification); });

    const PanelRegistry& registry = PanelRegistry::standard();
    for (const SideBarItem& row : sharedModel().configuration.sidebar.sidebar_rows) {
        QWidget* panel = registry.instantiate(row.storyboard, row.controller_id, mainContainerView_);
        panel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        stack_->addWidget(panel);
        mainviews_.emplace_back(panel);
    }
    stack_->setCurrentWidget(empty_);
}

MainContentViewController::~MainContentViewController() = default;

QWidget* MainContentViewController::currentPanel() const {
    if (!current_index || *current_index < 0 || static_cast<size_t>(*current_index) >= mainviews_.size()) return nullptr;
    return mainviews_[static_cast<size_t>(*current_index)];
}

void MainContentViewController::sideBarSelectionChanged(const Notification& notification) {
    TW_LOG_INFO(notification.name);
    const std::optional<int> index = notification.info<int>("index");
    if (!index) {
        TW_LOG_INFO("No userInfo found in notification " + notification.name);
        return;
    }
    current_index = index;
    showCurrentPanel();
}

void MainContentViewController::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    showCurrentPanel();
}

void MainContentViewController::showCurrentPanel() {
    QWidget* panel = currentPanel();
    stack_->setCurrentWidget(panel ? panel : empty_);
}

}  // namespace tarnwick::ui
