#include "ui/theme/Popover.h"

#include <QScreen>
#include <QVBoxLayout>

namespace tarnwick::ui {

Popover::Popover(QWidget* content, QSize contentSize, QWidget* parent)
    : QFrame(parent, Qt::Popup | Qt::FramelessWindowHint), content_(content) {
    setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    content->setParent(this);
    content->setVisible(true);
    layout->addWidget(content);
    setFixedSize(contentSize);
}

void Popover::showRelativeTo(QWidget* anchor, Edge edge) {
    const QRect bounds(anchor->mapToGlobal(QPoint(0, 0)), anchor->size());
    QPoint at = edge == Edge::maxX ? QPoint(bounds.right() + 1, bounds.center().y() - height() / 2)
                                   : QPoint(bounds.center().x() - width() / 2, bounds.bottom() + 1);
    if (QScreen* screen = anchor->screen()) {
        const QRect area = screen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - height())));
    }
    move(at);
    show();
    raise();
    activateWindow();
}

}  // namespace tarnwick::ui
