#include "ui/SideBarCellDelegate.h"

#include "ui/theme/ThemeValues.h"

#include <QIcon>
#include <QPainter>

namespace tarnwick::ui {

namespace {
constexpr int imageSize = 32;
}

SideBarCellDelegate::SideBarCellDelegate(int rowHeight, QFont font, QObject* parent)
    : QStyledItemDelegate(parent), rowHeight_(rowHeight), font_(std::move(font)) {}

QSize SideBarCellDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return {option.rect.width(), rowHeight_};
}

void SideBarCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRect cell = option.rect;
    if (highlight_ && (option.state & QStyle::State_Selected))
        painter->fillRect(cell, themeColor(&Theme::sidebarRowSelectionColor));

    const QString name = index.data(Qt::DisplayRole).toString();
    const QVariant decoration = index.data(Qt::DecorationRole);
    const QFontMetrics metrics(font_);
    painter->setFont(font_);
    painter->setPen(themeColor(&Theme::sidebarTextColor));
    if (decoration.canConvert<QIcon>() && !decoration.value<QIcon>().isNull()) {
        const int gap = 8;
        const int total = imageSize + gap + metrics.height();
        const int top = cell.top() + (cell.height() - total) / 2;
        const QRect imageRect(cell.center().x() - imageSize / 2 + 1, top, imageSize, imageSize);
        decoration.value<QIcon>().paint(painter, imageRect);
        painter->drawText(QRect(cell.left(), top + imageSize + gap, cell.width(), metrics.height()),
                          Qt::AlignHCenter | Qt::AlignTop, name);
    } else {
        painter->drawText(cell, Qt::AlignCenter, name);
    }
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(themeColor(&Theme::sidebarTextColor), 1, Qt::DotLine));
        painter->drawRect(cell.adjusted(2, 2, -3, -3));
    }
    painter->restore();
}

}  // namespace tarnwick::ui
