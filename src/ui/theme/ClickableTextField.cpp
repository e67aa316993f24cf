#include "ui/theme/ClickableTextField.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace tarnwick::ui {

ClickableTextField::ClickableTextField(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setTextFormat(Qt::RichText);
}

void ClickableTextField::mousePressEvent(QMouseEvent* event) {
    if (isEnabled() && event->button() == Qt::LeftButton) {
        event->accept();
        emit clicked();
        return;
    }
    QLabel::mousePressEvent(event);
}

void ClickableTextField::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (isEnabled() && (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        event->accept();
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

}  // namespace tarnwick::ui
