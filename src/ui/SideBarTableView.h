#pragma once
// The sidebar's table: one row per configured panel. Choosing a row (by mouse or keyboard, or
// choosing the selected row again) posts "sideBarTableSelectionNotification" with {"index": row},
// as the row becomes the selected one.
#include "app/Configuration.h"

#include <QListView>

#include <optional>
#include <vector>

namespace tarnwick::ui {

class SideBarRowsModel;
class SideBarCellDelegate;

class SideBarTableView : public QListView {
    Q_OBJECT
public:
    explicit SideBarTableView(QWidget* parent = nullptr);

    // The rows shown; absent reads as none.
    void setSidebarRows(std::optional<std::vector<SideBarItem>> rows);
    const std::optional<std::vector<SideBarItem>>& sidebarRows() const { return sidebar_rows; }
    void reloadData();
    void selectRow(int row);
    int selectedRow() const;

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void willSelectRow(int row);

    std::optional<std::vector<SideBarItem>> sidebar_rows;
    SideBarRowsModel* rowsModel_;
    SideBarCellDelegate* delegate_;
};

}  // namespace tarnwick::ui
