#pragma once
// Draws a sidebar row: the selected row's background in the theme's selection colour, then the
// "SideBarCellID" cell, the row's image above its name in the sidebar text colour and font. With
// no image the name alone is drawn, centred.
#include <QFont>
#include <QStyledItemDelegate>

namespace tarnwick::ui {

class SideBarCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    SideBarCellDelegate(int rowHeight, QFont font, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Whether selected rows are highlighted (on unless switched off).
    void setSelectionHighlighting(bool on) { highlight_ = on; }

private:
    int rowHeight_;
    QFont font_;
    bool highlight_ = true;
};

}  // namespace tarnwick::ui
