#include "ui/SideBarRowsModel.h"

#include "ui/theme/Images.h"

namespace tarnwick::ui {

SideBarRowsModel::SideBarRowsModel(QObject* parent) : QAbstractListModel(parent) {}

void SideBarRowsModel::setRows(std::vector<SideBarItem> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    images_.clear();
    for (const SideBarItem& row : rows_) images_.push_back(image(row.image));
    endResetModel();
}

int SideBarRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant SideBarRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || static_cast<size_t>(index.row()) >= rows_.size()) return {};
    const size_t row = static_cast<size_t>(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return QString::fromStdString(rows_[row].name);
    case Qt::DecorationRole:
        return images_[row].isNull() ? QVariant() : QVariant(images_[row]);
    default:
        return {};
    }
}

}  // namespace tarnwick::ui
