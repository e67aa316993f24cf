#include "ui/SideBarViewController.h"

#include "app/TarnwickModel.h"
#include "platform/Log.h"
#include "platform/PlatformHelpers.h"
#include "ui/SideBarTableView.h"
#include "ui/about/VelmoraPopoverViewController.h"
#include "ui/theme/ClickableTextField.h"
#include "ui/theme/FontSubstitution.h"
#include "ui/theme/Images.h"
#include "ui/theme/PaintedContainers.h"
#include "ui/theme/Popover.h"
#include "ui/theme/TextBuilders.h"
#include "ui/theme/ThemeValues.h"

#include <QShowEvent>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarnwick::ui {

SideBarViewController::SideBarViewController(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("sideBarViewController"));
    const Configuration& configuration = sharedModel().configuration;
    const int width = static_cast<int>(configuration.sidebar.sidebarWidth);

    auto* background = new SideBarStackView(this);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(background);

    auto* column = new QVBoxLayout(background);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    topSpacerBox_ = new QWidget(background);
    topSpacerBox_->setObjectName(QStringLiteral("topSpacerBox"));
    topSpacerBox_->setFixedHeight(12);
    column->addWidget(topSpacerBox_);

    auto* logo = new LogoStackView(background);
    auto* logoColumn = new QVBoxLayout(logo);
    logoColumn->setContentsMargins(0, 4, 0, 12);
    logoColumn->setSpacing(4);
    logoButton_ = new QToolButton(logo);
    logoButton_->setObjectName(QStringLiteral("logoButton"));
    logoButton_->setAccessibleName(QStringLiteral("About Velmora"));
    logoButton_->setIcon(image(QStringLiteral("velmora_logo")));
    logoButton_->setIconSize(QSize(44, 44));
    logoButton_->setAutoRaise(true);
    logoButton_->setCursor(Qt::PointingHandCursor);
    logoButton_->setStyleSheet(QStringLiteral("QToolButton { border: none; background: transparent; }"));
    logoColumn->addWidget(logoButton_, 0, Qt::AlignHCenter);

    logoTextField_ = new ClickableTextField(logo);
    logoTextField_->setObjectName(QStringLiteral("logoTextField"));
    logoTextField_->setAccessibleName(QStringLiteral("Velmora"));
    logoTextField_->setText(underlineTextWithText(QStringLiteral("Velmora")));
    QPalette logoColours = logoTextField_->palette();
    logoColours.setColor(QPalette::WindowText, themeColor(&Theme::logoTextColor));
    logoTextField_->setPalette(logoColours);
    logoTextField_->setFont(themeFont(&Theme::defaultBoldTextFont));
    logoTextField_->setAlignment(Qt::AlignHCenter);
    logoColumn->addWidget(logoTextField_, 0, Qt::AlignHCenter);
    column->addWidget(logo);

    sidebarTableView_ = new SideBarTableView(background);
    sidebarTableView_->setObjectName(QStringLiteral("sidebarTableView"));
    sidebarTableView_->setAccessibleName(QStringLiteral("Sidebar"));
    sidebarTableView_->setSidebarRows(configuration.sidebar.sidebar_rows);
    sidebarTableView_->reloadData();
    column->addWidget(sidebarTableView_, 1);

    setFixedWidth(width);

    connect(logoButton_, &QToolButton::clicked, this, &SideBarViewController::logoClick);
    connect(logoTextField_, &ClickableTextField::clicked, this, &SideBarViewController::logoTextFieldClick);
}

void SideBarViewController::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return;
    sidebarTableView_->selectRow(0);
    // The flag is asked once the sidebar is on screen, the first time in this run.
    if (shownOnce_) return;
    shownOnce_ = true;
    QTimer::singleShot(0, this, [this] {
        if (isFirstLaunch()) showAboutPopover();
    });
}

void SideBarViewController::logoClick() {
    TW_LOG_INFO("Logo Click");
    if (aboutPopover_ && aboutPopover_->isShown()) return;
    showAboutPopover();
}

void SideBarViewController::logoTextFieldClick() {
    TW_LOG_INFO("Logo Text Click");
    showAboutPopover();
}

void SideBarViewController::showAboutPopover() {
    if (!aboutPopover_) {
        auto* content = new VelmoraPopoverViewController();
        aboutPopover_ = new Popover(content, QSize(500, 275), this);
        aboutPopover_->setObjectName(QStringLiteral("aboutPopover"));
    }
    aboutPopover_->showRelativeTo(logoTextField_, Popover::Edge::maxX);
}

}  // namespace tarnwick::ui
