#include "ui/PrimarySplitViewController.h"

#include "app/TarnwickModel.h"
#include "ui/MainContentViewController.h"
#include "ui/SideBarViewController.h"
#include "ui/theme/PaintedContainers.h"
#include "ui/theme/ThemeValues.h"

#include <QHBoxLayout>

namespace tarnwick::ui {

PrimarySplitViewController::PrimarySplitViewController(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("primarySplitViewController"));
    // The sidebar pane never resizes, so there is no divider to drag: a fixed pane, a one-point
    // line in the divider colour, and the content taking the rest.
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // The content exists first, so that it hears the sidebar's first selection.
    content_ = new MainContentViewController(this);
    sidebar_ = new SideBarViewController(this);
    const int width = static_cast<int>(sharedModel().configuration.sidebar.sidebarWidth);
    sidebar_->setFixedWidth(width);
    auto* divider = new ColorBox(themeColor(&Theme::dividerColor), this);
    divider->setFixedWidth(1);
    layout->addWidget(sidebar_);
    layout->addWidget(divider);
    layout->addWidget(content_, 1);
}

}  // namespace tarnwick::ui
