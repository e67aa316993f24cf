#pragma once
// The sidebar's rows as a list model: each row's name (its display text, what screen readers
// read) and image.
#include "app/Configuration.h"

#include <QAbstractListModel>
#include <QIcon>

#include <vector>

namespace tarnwick::ui {

class SideBarRowsModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit SideBarRowsModel(QObject* parent = nullptr);

    void setRows(std::vector<SideBarItem> rows);
    const std::vector<SideBarItem>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::vector<SideBarItem> rows_;
    std::vector<QIcon> images_;  // null where a row has none
};

}  // namespace tarnwick::ui
