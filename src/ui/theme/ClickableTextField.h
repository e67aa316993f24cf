#pragma once
// A label that acts as a button: the pointing hand over its whole area, a click (or Space or Enter
// when it has the focus) sends `clicked`, unless it is disabled.
#include <QLabel>

namespace tarnwick::ui {

class ClickableTextField : public QLabel {
    Q_OBJECT
public:
    explicit ClickableTextField(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace tarnwick::ui
