#include "ui/SideBarTableView.h"

#include "app/TarnwickModel.h"
#include "models/NotificationNames.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "ui/SideBarCellDelegate.h"
#include "ui/SideBarRowsModel.h"
#include "ui/theme/FontSubstitution.h"
#include "ui/theme/ThemeValues.h"

#include <QApplication>
#include <QMouseEvent>

namespace tarnwick::ui {

SideBarTableView::SideBarTableView(QWidget* parent) : QListView(parent), rowsModel_(new SideBarRowsModel(this)) {
    const SideBarConfiguration& sidebar = sharedModel().configuration.sidebar;
    QFont font = sidebar.sidebarFont ? themeFont(*sidebar.sidebarFont) : QApplication::font();
    delegate_ = new SideBarCellDelegate(static_cast<int>(sidebar.rowHeight), font, this);
    setModel(rowsModel_);
    setItemDelegate(delegate_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setUniformItemSizes(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, themeColor(&Theme::sidebarBackgroundColor));
    colours.setColor(QPalette::Window, themeColor(&Theme::sidebarBackgroundColor));
    setPalette(colours);
    viewport()->setAutoFillBackground(true);
}

void SideBarTableView::setSidebarRows(std::optional<std::vector<SideBarItem>> rows) { sidebar_rows = std::move(rows); }

void SideBarTableView::reloadData() { rowsModel_->setRows(sidebar_rows.value_or(std::vector<SideBarItem>{})); }

void SideBarTableView::selectRow(int row) {
    if (row < 0 || row >= rowsModel_->rowCount()) return;
    setCurrentIndex(rowsModel_->index(row));
}

int SideBarTableView::selectedRow() const {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void SideBarTableView::willSelectRow(int row) {
    TW_LOG_INFO("Sidebar selection");
    NotificationCenter::defaultCenter().post(name(TarnwickNotificationNames::sideBarTableSelectionNotification),
                                             this, UserInfo{{"index", row}});
}

void SideBarTableView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (current.isValid() && current.row() != previous.row()) willSelectRow(current.row());
    QListView::currentChanged(current, previous);
}

void SideBarTableView::mousePressEvent(QMouseEvent* event) {
    // Choosing the selected row again announces it again.
    const QModelIndex at = indexAt(event->position().toPoint());
    if (at.isValid() && at == currentIndex()) willSelectRow(at.row());
    QListView::mousePressEvent(event);
}

}  // namespace tarnwick::ui
