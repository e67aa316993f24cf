#pragma once
// A small painted activity indicator: twelve spokes turning while animating, nothing drawn (and
// hidden) while stopped.
#include <QTimer>
#include <QWidget>

namespace tarnwick::ui {

class ActivitySpinner : public QWidget {
    Q_OBJECT
public:
    explicit ActivitySpinner(QWidget* parent = nullptr);

    void startAnimation();
    void stopAnimation();
    bool isAnimating() const { return timer_.isActive(); }

    QSize sizeHint() const override { return {16, 16}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer timer_;
    int step_ = 0;
};

}  // namespace tarnwick::ui
