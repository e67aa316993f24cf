#include "ui/theme/ActivitySpinner.h"

#include <QPainter>

#include <algorithm>

namespace tarnwick::ui {

namespace {
constexpr int spokes = 12;
}

ActivitySpinner::ActivitySpinner(QWidget* parent) : QWidget(parent) {
    setFixedSize(sizeHint());
    timer_.setInterval(80);
    connect(&timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % spokes;
        update();
    });
    hide();
}

void ActivitySpinner::startAnimation() {
    show();
    if (!timer_.isActive()) timer_.start();
}

void ActivitySpinner::stopAnimation() {
    timer_.stop();
    hide();
}

void ActivitySpinner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, height() / 2.0);
    const double radius = std::min(width(), height()) / 2.0;
    for (int i = 0; i < spokes; ++i) {
        // The newest spoke darkest, fading behind it.
        const int age = (step_ - i + spokes) % spokes;
        QColor colour = palette().color(QPalette::WindowText);
        colour.setAlphaF(std::max(0.15f, 1.0f - age / static_cast<float>(spokes)));
        painter.setPen(QPen(colour, std::max(1.5, radius / 5), Qt::SolidLine, Qt::RoundCap));
        painter.save();
        painter.rotate(i * 360.0 / spokes);
        painter.drawLine(QPointF(0, -radius * 0.45), QPointF(0, -radius * 0.9));
        painter.restore();
    }
}

}  // namespace tarnwick::ui
