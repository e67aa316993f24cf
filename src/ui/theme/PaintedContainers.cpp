#include "ui/theme/PaintedContainers.h"

#include "ui/theme/ThemeValues.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace tarnwick::ui {

ColorBox::ColorBox(const QColor& fill, QWidget* parent) : QWidget(parent), fill_(fill) {}

void ColorBox::setFill(const QColor& fill) {
    fill_ = fill;
    update();
}

void ColorBox::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), fill_); }

BackgroundColorStackView::BackgroundColorStackView(QWidget* parent) : ColorBox(Qt::black, parent) {}

SideBarStackView::SideBarStackView(QWidget* parent)
    : ColorBox(themeColor(&Theme::sidebarBackgroundColor), parent) {}

void SideBarStackView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (QWindow* handle = window()->windowHandle(); handle && handle->startSystemMove()) {
            event->accept();
            return;
        }
    }
    ColorBox::mousePressEvent(event);
}

}  // namespace tarnwick::ui
